// The loopback test server that the test script starts (scripts/ua-test-server):
// its ports and its request log, found through the environment variable
// TL_UA_SERVER_DIR (the server's folder as a Unix path).
#pragma once

#include <string>
#include <vector>

class TestServer {
public:
    // Reads the ports; IsReady() tells whether that worked.
    TestServer();

    bool IsReady() const { return m_http != 0; }
    // "http://127.0.0.1:<port>/<options>/<name>" for the server named
    // "http", "https", "https_wrongname" or "https_selfsigned".
    std::wstring Address(const std::string& server, const std::string& options, const std::string& name) const;
    int Port(const std::string& server) const;

    // Paths of the requests seen so far whose path ends with `name`.
    std::vector<std::string> RequestsFor(const std::string& name) const;
    // Waits up to `timeoutMs` until a request for `name` was seen.
    bool AwaitRequest(const std::string& name, unsigned timeoutMs) const;

    // The server folder as Wine names it.
    static std::string Folder();
    // The same bytes as the server's body of `size` bytes.
    static std::string Pattern(size_t size);

private:
    int m_http = 0;
    int m_https = 0;
    int m_wrongName = 0;
    int m_selfSigned = 0;
};

// A port on 127.0.0.1 that nothing listens on.
int ClosedLoopbackPort();
// A name no resolver will find.
std::wstring UnresolvableHost();
