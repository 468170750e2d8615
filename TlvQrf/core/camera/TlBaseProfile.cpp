// Reading a base profile from the shared profiles folder, with the error
// locations and codes the generator reports.
#include "camera/TlCameraProfile.h"

#include "files/TlCommonFiles.h"

#include <cstdio>
#include <new>

namespace {

IKelvraError* Failure(long location, long code)
{
    return IKelvraError::Add(nullptr, 0, location, kKelvraCategoryApp, code);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

IKelvraError* TlReadBaseProfile(const char* name, std::vector<std::uint8_t>* bytes)
{
    std::string path = GetCommonFilesFolder();
    if (path.empty())
        return Failure(4127, 1100);
    if (path.back() != '\\')
        path += '\\';
    path += "Talvo\\Profiles\\";
    path += name;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return Failure(4090, 1101);
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return Failure(4095, 1106);
    const long length = std::ftell(file.get());
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return Failure(4102, 1105);
    try {
        bytes->assign(std::size_t(length), 0);
    } catch (const std::bad_alloc&) {
        return Failure(4115, kKelvraOutOfMemory);
    }
    if (length > 0 && std::fread(bytes->data(), 1, bytes->size(), file.get()) != bytes->size())
        return Failure(4121, 1103);
    return nullptr;
}
