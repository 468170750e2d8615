// A web address split into what a WinINet request needs. The address is
// percent-encoded first; one the system's URL splitter refuses throws
// InvalidUrlException.
#pragma once

#include <string>

class InvalidUrlException {};

class Url {
public:
    // Host and path (with its query) hold at most this many characters.
    static constexpr size_t kPartLimit = 1023;

    explicit Url(const std::string& address);

    std::string Host() const { return m_host; }
    int Port() const { return m_port; }
    // The path followed by its query.
    std::string Path() const { return m_path; }
    bool Secure() const { return m_secure; }
    const std::string& Address() const { return m_address; }

    // Every byte but letters, digits and _!'()*+,-./:;?@=& becomes %XX.
    static std::string Encode(const std::string& address);

private:
    std::string m_host;
    int m_port = 0;
    std::string m_path;
    std::string m_address;
    bool m_secure = false;
};
