#include "files/TlPathHelpers.h"

namespace {

std::string After(const std::string& text, char separator)
{
    const std::string::size_type at = text.rfind(separator);
    return at == std::string::npos ? text : text.substr(at + 1);
}

} // namespace

std::string GetFileName(const std::string& path, bool keepExtension)
{
    std::string name = After(After(path, '\\'), ':');
    if (!keepExtension) {
        const std::string::size_type dot = name.rfind('.');
        if (dot != std::string::npos)
            name.erase(dot);
    }
    return name;
}

std::string GetFolder(const std::string& path)
{
    std::string::size_type end = path.rfind('\\');
    if (end == std::string::npos)
        end = path.rfind(':');
    return end == std::string::npos ? std::string() : path.substr(0, end);
}
