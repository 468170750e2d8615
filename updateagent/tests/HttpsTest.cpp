// HTTPS through the platform's WinINet against the loopback server. The
// test authority is trusted by the prefix while the first group runs; the
// last group runs after it was taken away again (see CMakeLists.txt).
#include "files/FileHelpers.h"
#include "net/UpdateChecker.h"
#include "net/UrlDownloader.h"
#include "support/LogFolder.h"
#include "support/ScratchFolder.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {
class HttpsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.IsReady()) << "no test server in " << TestServer::Folder(); }

    unsigned Download(const std::wstring& address, std::wstring& local)
    {
        UrlDownloader downloader;
        TPath path;
        const unsigned result =
            downloader.Download(TWideString(address.c_str()), m_scratch.AsPath(), path, nullptr, nullptr);
        local = std::wstring(path.Text().Text());
        return result;
    }

    // Every refused server: result 4 for both the check and the download, one
    // certificate line each with the code WinINet gave, and no file.
    void ExpectRefused(const std::string& server, const std::string& name)
    {
        SCOPED_TRACE(server);
        LogFolder log;
        UpdateChecker checker;
        EXPECT_EQ(checker.Check(TWideString(m_server.Address(server, "", name + ".md5").c_str()),
                                TWideString(m_server.Address("http", "", name + "-never.exe").c_str()), nullptr,
                                nullptr),
                  4u);
        EXPECT_EQ(GetContentLength(TWideString(m_server.Address(server, "size=77", name + ".exe").c_str())), 0u);
        std::wstring local;
        EXPECT_EQ(Download(m_server.Address(server, "size=5000", name + ".exe"), local), 4u);
        EXPECT_FALSE(PathExists(local)) << "a file was left";

        const std::regex certificateLine("Message: SSL Certificate is invalid\\. ErrorCode: "
                                         "(12037|12038|12045|12055|12056|12057|12169|12170)");
        const std::vector<std::string> messages = log.Messages();
        ASSERT_EQ(messages.size(), 2u);
        for (const std::string& message : messages)
            EXPECT_TRUE(std::regex_match(message, certificateLine)) << message;
        EXPECT_TRUE(m_server.RequestsFor(name + "-never.exe").empty());
    }

    TestServer m_server;
    ScratchFolder m_scratch{L"https-test"};
};
}

TEST_F(HttpsTest, ATrustedServerAnswersTheCheckTheLengthAndTheDownload)
{
    LogFolder log;
    UpdateChecker checker;
    EXPECT_EQ(checker.Check(TWideString(m_server.Address("https", "", "secure.md5").c_str()),
                            TWideString(m_server.Address("https", "", "secure.exe").c_str()), nullptr, nullptr),
              0u);
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{
                                  "Message: Received HTTP status code is in ErrorCode. ErrorCode: 200",
                                  "Message: Received HTTP status code is in ErrorCode. ErrorCode: 200"}));
    EXPECT_EQ(GetContentLength(TWideString(m_server.Address("https", "size=65432", "secure.exe").c_str())), 65432u);

    std::wstring local;
    EXPECT_EQ(Download(m_server.Address("https", "size=12345", "secure.exe"), local), 0u);
    EXPECT_EQ(ReadFileBytes(local), TestServer::Pattern(12345));
}

TEST_F(HttpsTest, ACertificateForAnotherNameIsRefused)
{
    ExpectRefused("https_wrongname", "wrongname");
}

TEST_F(HttpsTest, ASelfSignedCertificateIsRefused)
{
    ExpectRefused("https_selfsigned", "selfsigned");
}

TEST_F(HttpsTest, TheSignedCertificateIsRefusedAfterTheAuthorityWasRemoved)
{
    ExpectRefused("https", "untrusted");
}
