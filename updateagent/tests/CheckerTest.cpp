#include "files/Connection.h"
#include "net/UpdateChecker.h"
#include "support/LogFolder.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {
const DWORD kHangLimitMs = 30000;

void CountStep(int step, void* context)
{
    *static_cast<int*>(context) += step;
}

class CheckerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.IsReady()) << "no test server in " << TestServer::Folder(); }

    std::wstring Address(const std::string& options, const std::string& name) const
    {
        return m_server.Address("http", options, name);
    }

    TestServer m_server;
    LogFolder m_log;
};

struct CheckJob {
    UpdateChecker* checker;
    std::wstring first;
    std::wstring second;
    unsigned result = 99;
};

DWORD WINAPI RunCheck(LPVOID argument)
{
    auto* job = static_cast<CheckJob*>(argument);
    job->result = job->checker->Check(TWideString(job->first.c_str()), TWideString(job->second.c_str()), nullptr,
                                      nullptr);
    return 0;
}
}

TEST_F(CheckerTest, BothAddressesAnswering200MeanAnUpdate)
{
    UpdateChecker checker;
    int steps = 0;
    const unsigned result = checker.Check(TWideString(Address("", "ok-first.md5").c_str()),
                                          TWideString(Address("", "ok-second.exe").c_str()), CountStep, &steps);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(steps, UpdateChecker::kProgressSteps);
    EXPECT_EQ(m_log.Messages(), (std::vector<std::string>{
                                    "Message: Received HTTP status code is in ErrorCode. ErrorCode: 200",
                                    "Message: Received HTTP status code is in ErrorCode. ErrorCode: 200"}));
    EXPECT_EQ(m_server.RequestsFor("/ok-first.md5"), std::vector<std::string>{"HEAD /ok-first.md5"});
    EXPECT_EQ(m_server.RequestsFor("/ok-second.exe"), std::vector<std::string>{"HEAD /ok-second.exe"});
}

TEST_F(CheckerTest, AFailingFirstAddressStopsTheCheck)
{
    struct Case {
        const char* name;
        std::wstring first;
        unsigned result;
        std::vector<std::string> messages;
    };
    const int closedPort = ClosedLoopbackPort();
    ASSERT_NE(closedPort, 0);
    const std::vector<Case> cases = {
        {"status 404", Address("s=404", "missing-first.md5"), 1,
         {"Message: Received HTTP status code is in ErrorCode. ErrorCode: 404"}},
        {"status 500", Address("s=500", "broken-first.md5"), 1,
         {"Message: Received HTTP status code is in ErrorCode. ErrorCode: 500"}},
        {"unresolvable host", L"http://" + UnresolvableHost() + L"/first.md5", 4,
         {"Message: Hostname could not be resolved ErrorCode: 12007"}},
        {"closed port", L"http://127.0.0.1:" + std::to_wstring(closedPort) + L"/first.md5", 4,
         {"Message: Cannot connect to destination host ErrorCode: 12029"}},
        {"address that does not parse", L"two words", 3, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogFolder log;
        const std::string second = std::string("never-") + std::to_string(&c - cases.data()) + ".exe";
        UpdateChecker checker;
        int steps = 0;
        EXPECT_EQ(checker.Check(TWideString(c.first.c_str()), TWideString(Address("", second).c_str()), CountStep,
                                &steps),
                  c.result);
        EXPECT_EQ(steps, 2);
        EXPECT_EQ(log.Messages(), c.messages);
        EXPECT_TRUE(m_server.RequestsFor(second).empty()) << "the second address was asked";
    }
}

TEST_F(CheckerTest, ASecondAddressAnswering404MeansNoUpdate)
{
    UpdateChecker checker;
    int steps = 0;
    EXPECT_EQ(checker.Check(TWideString(Address("", "fine.md5").c_str()),
                            TWideString(Address("s=404", "gone.exe").c_str()), CountStep, &steps),
              1u);
    EXPECT_EQ(steps, 6);
    EXPECT_EQ(m_log.Messages().size(), 2u);
}

TEST_F(CheckerTest, NotConnectedChecksNothing)
{
    SetConnectionStateQuery([] { return false; });
    UpdateChecker checker;
    int steps = 0;
    const unsigned result = checker.Check(TWideString(Address("", "offline-first.md5").c_str()),
                                          TWideString(Address("", "offline-second.exe").c_str()), CountStep, &steps);
    SetConnectionStateQuery(nullptr);
    EXPECT_EQ(result, 5u);
    EXPECT_EQ(steps, 1);
    EXPECT_TRUE(m_server.RequestsFor("/offline-first.md5").empty());
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST_F(CheckerTest, ACancelDuringASlowFirstRequestAnswersCancelled)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const std::string first = "slow-" + std::to_string(round) + ".md5";
        const std::string second = "after-slow-" + std::to_string(round) + ".exe";
        // On the heap: a check that a cancel fails to end must not outlive them.
        auto* checker = new UpdateChecker;
        auto* job = new CheckJob{checker, Address("delay=60000", first), Address("", second)};
        HANDLE thread = CreateThread(nullptr, 0, RunCheck, job, 0, nullptr);
        ASSERT_TRUE(m_server.AwaitRequest(first, kHangLimitMs));
        checker->Cancel();
        ASSERT_EQ(WaitForSingleObject(thread, kHangLimitMs), WAIT_OBJECT_0) << "the cancel did not end the request";
        CloseHandle(thread);
        EXPECT_EQ(job->result, 2u);
        EXPECT_TRUE(m_server.RequestsFor(second).empty());
        delete job;
        delete checker;
    }
    // The failed request's line is still written.
    EXPECT_FALSE(m_log.Lines().empty());
}

TEST_F(CheckerTest, ACancelBeforeTheCheckMakesItCancelledOnce)
{
    UpdateChecker checker;
    checker.Cancel();
    EXPECT_EQ(checker.Check(TWideString(Address("", "pre-1.md5").c_str()),
                            TWideString(Address("", "pre-2.exe").c_str()), nullptr, nullptr),
              2u);
    EXPECT_EQ(checker.Check(TWideString(Address("", "post-1.md5").c_str()),
                            TWideString(Address("", "post-2.exe").c_str()), nullptr, nullptr),
              0u)
        << "the flag was cleared";
}

TEST_F(CheckerTest, ContentLengthOfTheHeadAnswer)
{
    struct Case {
        const char* name;
        std::wstring address;
        DWORD length;
    };
    const std::vector<Case> cases = {
        {"announced", Address("size=123456", "setup.exe"), 123456},
        {"empty body", Address("size=0", "empty.exe"), 0},
        {"no Content-Length", Address("len=none", "unsized.exe"), 0},
        {"status 404", Address("s=404/size=500", "missing.exe"), 0},
        {"address that does not parse", L"two words", 0},
        {"unresolvable host", L"http://" + UnresolvableHost() + L"/setup.exe", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetContentLength(TWideString(c.address.c_str())), c.length);
    }
}
