#include "items/TlLineEscape.h"

std::string TlEscapeLineBreaks(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\r': escaped += "\\r"; break;
        case '\n': escaped += "\\n"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

std::string TlUnescapeLineBreaks(const std::string& text)
{
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '\\' && (next == '\\' || next == 'r' || next == 'n')) {
            plain += next == 'r' ? '\r' : next == 'n' ? '\n' : '\\';
            ++i;
        } else {
            plain += text[i];
        }
    }
    return plain;
}
