#include "files/FileHelpers.h"
#include "net/UrlDownloader.h"
#include "support/LogFolder.h"
#include "support/ScratchFolder.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace {
const DWORD kHangLimitMs = 30000;

struct Progress {
    unsigned long long bytes = 0;
    int calls = 0;
    UrlDownloader* cancelAfterFirst = nullptr;
    HANDLE firstChunk = nullptr;
};

void CountBytes(DWORD bytes, void* context)
{
    auto* progress = static_cast<Progress*>(context);
    progress->bytes += bytes;
    if (++progress->calls == 1) {
        if (progress->cancelAfterFirst)
            progress->cancelAfterFirst->Cancel();
        if (progress->firstChunk)
            SetEvent(progress->firstChunk);
    }
}

class DownloaderTest : public testing::Test {
public:
    unsigned Download(UrlDownloader& downloader, const std::wstring& address, Progress* progress = nullptr)
    {
        TPath local;
        const unsigned result = downloader.Download(TWideString(address.c_str()), Folder(), local,
                                                    progress ? CountBytes : nullptr, progress);
        m_local = std::wstring(local.Text().Text());
        return result;
    }

protected:
    void SetUp() override { ASSERT_TRUE(m_server.IsReady()) << "no test server in " << TestServer::Folder(); }

    TPath Folder() const { return m_scratch.AsPath(); }
    std::wstring Address(const std::string& options, const std::string& name) const
    {
        return m_server.Address("http", options, name);
    }

    TestServer m_server;
    LogFolder m_log;
    ScratchFolder m_scratch{L"downloads-test"};
    const std::wstring m_folder = m_scratch.Path();
    std::wstring m_local;
};

struct DownloadJob {
    DownloaderTest* test;
    UrlDownloader* downloader;
    std::wstring address;
    Progress* progress;
    unsigned result = 99;
};
}

TEST_F(DownloaderTest, StoresTheBodyUnderItsName)
{
    struct Case {
        const char* name;
        std::string options;
        std::string file;
        std::string body;
    };
    const std::vector<Case> cases = {
        {"several chunks", "size=10000", "setup.exe", TestServer::Pattern(10000)},
        {"exactly one chunk", "size=4000", "one.bin", TestServer::Pattern(4000)},
        {"empty", "size=0", "empty.md5", ""},
        {"no Content-Length", "len=none/size=9000", "unsized.exe", TestServer::Pattern(9000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UrlDownloader downloader;
        Progress progress;
        EXPECT_EQ(Download(downloader, Address(c.options, c.file), &progress), 0u);
        EXPECT_EQ(m_local, m_folder + std::wstring(c.file.begin(), c.file.end()));
        EXPECT_EQ(ReadFileBytes(m_local), c.body);
        EXPECT_EQ(progress.bytes, c.body.size());
    }
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST_F(DownloaderTest, ReplacesAnOlderFileOfTheSameName)
{
    {
        std::ofstream old((m_folder + L"setup.md5").c_str(), std::ios::binary);
        old << std::string(20000, 'o');
    }
    UrlDownloader downloader;
    EXPECT_EQ(Download(downloader, Address("size=32", "setup.md5")), 0u);
    EXPECT_EQ(ReadFileBytes(m_local), TestServer::Pattern(32));
}

TEST_F(DownloaderTest, RefusedAnswersLeaveNoFile)
{
    struct Case {
        const char* name;
        std::string options;
        std::string file;
        unsigned result;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"an upper-case HTML page", "body=upper/size=6000", "upper.exe", 1, {}},
        {"status 404", "s=404", "missing.exe", 1,
         {"Message: Received HTTP status code is in ErrorCode. ErrorCode: 404"}},
        {"status 500 with an HTML page", "s=500/body=lower", "broken.exe", 1,
         {"Message: Received HTTP status code is in ErrorCode. ErrorCode: 500"}},
        {"a body cut short", "size=20000/cut=9000", "short.exe", 4, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogFolder log;
        {
            std::ofstream old((m_folder + std::wstring(c.file.begin(), c.file.end())).c_str());
            old << "older";
        }
        UrlDownloader downloader;
        EXPECT_EQ(Download(downloader, Address(c.options, c.file)), c.result);
        EXPECT_FALSE(PathExists(m_local)) << "a file was left";
        const std::vector<std::string> messages = log.Messages();
        if (c.result == 1) {
            EXPECT_EQ(messages, c.messages);
        }
    }
}

TEST_F(DownloaderTest, ALowerCaseHtmlPageIsStored)
{
    UrlDownloader downloader;
    EXPECT_EQ(Download(downloader, Address("body=lower/size=300", "page.html")), 0u);
    const std::string body = ReadFileBytes(m_local);
    EXPECT_EQ(body.substr(0, 6), "<html>");
    EXPECT_EQ(body.size(), 300u);
}

TEST_F(DownloaderTest, BadPlacesFailBeforeAnyRequest)
{
    UrlDownloader downloader;
    TPath local;
    EXPECT_EQ(downloader.Download(TWideString(L"no-slash-here"), Folder(), local, nullptr, nullptr), 1u);
    EXPECT_EQ(local.Kind(), TPath::kEmpty) << "no path was made";

    const TPath missing(TWideString((m_folder + L"no such folder\\").c_str()));
    EXPECT_EQ(downloader.Download(TWideString(Address("", "nowhere.exe").c_str()), missing, local, nullptr, nullptr),
              2u);
    EXPECT_TRUE(m_server.RequestsFor("/nowhere.exe").empty());
}

TEST_F(DownloaderTest, FailedOpensAreLoggedAndMapped)
{
    const int closedPort = ClosedLoopbackPort();
    ASSERT_NE(closedPort, 0);
    struct Case {
        const char* name;
        std::wstring address;
        unsigned result;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"unresolvable host", L"http://" + UnresolvableHost() + L"/setup.exe", 3,
         "Message: Hostname could not be resolved ErrorCode: 12007"},
        {"closed port", L"http://127.0.0.1:" + std::to_wstring(closedPort) + L"/setup.exe", 3,
         "Message: Cannot connect to destination host ErrorCode: 12029"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogFolder log;
        UrlDownloader downloader;
        EXPECT_EQ(Download(downloader, c.address), c.result);
        EXPECT_FALSE(PathExists(m_local));
        EXPECT_EQ(log.Messages(), std::vector<std::string>{c.message});
    }
}

TEST_F(DownloaderTest, ACancelBetweenChunksLeavesNoFile)
{
    UrlDownloader downloader;
    Progress progress;
    progress.cancelAfterFirst = &downloader;
    EXPECT_EQ(Download(downloader, Address("size=40000", "cancelled.exe"), &progress), 5u);
    EXPECT_EQ(progress.calls, 1);
    EXPECT_FALSE(PathExists(m_local));
    EXPECT_EQ(Download(downloader, Address("size=100", "next.exe")), 0u) << "the flag was cleared";
}

namespace {
DWORD WINAPI RunDownload(LPVOID argument)
{
    auto* job = static_cast<DownloadJob*>(argument);
    job->result = job->test->Download(*job->downloader, job->address, job->progress);
    return 0;
}
}

TEST_F(DownloaderTest, ACancelWhileAReadBlocksLeavesNoFile)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        // On the heap: a download that a cancel fails to end must not outlive them.
        auto* downloader = new UrlDownloader;
        auto* progress = new Progress;
        progress->firstChunk = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        const std::string name = "stalled-" + std::to_string(round) + ".exe";
        auto* job = new DownloadJob{this, downloader, Address("size=20000/stall=60000", name), progress};
        HANDLE thread = CreateThread(nullptr, 0, RunDownload, job, 0, nullptr);
        // The server sends its first 4000 bytes, then holds the rest back.
        ASSERT_EQ(WaitForSingleObject(progress->firstChunk, kHangLimitMs), WAIT_OBJECT_0);
        ASSERT_TRUE(m_server.AwaitRequest(name, kHangLimitMs));
        downloader->Cancel();
        ASSERT_EQ(WaitForSingleObject(thread, kHangLimitMs), WAIT_OBJECT_0) << "the cancel did not end the read";
        CloseHandle(thread);
        CloseHandle(progress->firstChunk);
        EXPECT_EQ(job->result, 5u);
        EXPECT_FALSE(PathExists(m_local));
        delete job;
        delete progress;
        delete downloader;
    }
}
