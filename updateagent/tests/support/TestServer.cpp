#include "support/TestServer.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

std::string TestServer::Folder()
{
    const char* unix = std::getenv("TL_UA_SERVER_DIR");
    if (!unix || !*unix)
        return std::string();
    std::string folder = std::string("Z:") + unix;
    for (char& ch : folder) {
        if (ch == '/')
            ch = '\\';
    }
    return folder;
}

TestServer::TestServer()
{
    std::ifstream in(Folder() + "\\ports.txt");
    std::string line;
    while (std::getline(in, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string name = line.substr(0, equals);
        const int port = std::atoi(line.c_str() + equals + 1);
        if (name == "http")
            m_http = port;
        else if (name == "https")
            m_https = port;
        else if (name == "https_wrongname")
            m_wrongName = port;
        else if (name == "https_selfsigned")
            m_selfSigned = port;
    }
}

int TestServer::Port(const std::string& server) const
{
    if (server == "http")
        return m_http;
    if (server == "https")
        return m_https;
    if (server == "https_wrongname")
        return m_wrongName;
    if (server == "https_selfsigned")
        return m_selfSigned;
    return 0;
}

std::wstring TestServer::Address(const std::string& server, const std::string& options, const std::string& name) const
{
    const std::string scheme = server == "http" ? "http" : "https";
    std::ostringstream text;
    text << scheme << "://127.0.0.1:" << Port(server) << "/";
    if (!options.empty())
        text << options << "/";
    text << name;
    const std::string narrow = text.str();
    return std::wstring(narrow.begin(), narrow.end());
}

std::vector<std::string> TestServer::RequestsFor(const std::string& name) const
{
    std::vector<std::string> requests;
    std::ifstream in(Folder() + "\\requests.log");
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() >= name.size() && line.compare(line.size() - name.size(), name.size(), name) == 0)
            requests.push_back(line);
    }
    return requests;
}

bool TestServer::AwaitRequest(const std::string& name, unsigned timeoutMs) const
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (RequestsFor(name).empty()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(20);
    }
    return true;
}

std::string TestServer::Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + 13) % 251);
    return bytes;
}

int ClosedLoopbackPort()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 0;
    int port = 0;
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (probe != INVALID_SOCKET && bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (probe != INVALID_SOCKET)
        closesocket(probe);
    WSACleanup();
    return port;
}

std::wstring UnresolvableHost()
{
    return L"no-such-host.invalid";
}
