#include "net/Url.h"

#include <windows.h>
#include <wininet.h>

#include <cstring>

static_assert(sizeof(void*) != 4 || sizeof(URL_COMPONENTSA) == 60, "the splitter's structure");

namespace {
bool KeptAsIs(unsigned char byte)
{
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9'))
        return true;
    return byte != 0 && std::strchr("_!'()*+,-./:;?@=&", byte) != nullptr;
}
}

std::string Url::Encode(const std::string& address)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(address.size());
    for (unsigned char byte : address) {
        if (KeptAsIs(byte)) {
            encoded += static_cast<char>(byte);
        } else {
            encoded += '%';
            encoded += digits[byte >> 4];
            encoded += digits[byte & 0x0F];
        }
    }
    return encoded;
}

Url::Url(const std::string& address)
    : m_address(Encode(address))
{
    URL_COMPONENTSA parts;
    std::memset(&parts, 0, sizeof parts);
    parts.dwStructSize = sizeof parts;
    // Non-zero lengths with null buffers ask for pointers into the address.
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlA(m_address.c_str(), static_cast<DWORD>(m_address.size()), 0, &parts))
        throw InvalidUrlException();
    if (parts.dwHostNameLength > kPartLimit || parts.dwUrlPathLength + parts.dwExtraInfoLength > kPartLimit)
        throw InvalidUrlException();
    if (parts.lpszHostName)
        m_host.assign(parts.lpszHostName, parts.dwHostNameLength);
    if (parts.lpszUrlPath)
        m_path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo)
        m_path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    m_port = parts.nPort;
    m_secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    if (m_port == 0)
        m_port = m_secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
}
