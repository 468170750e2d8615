#include "thread/TThread.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <mutex>
#include <vector>

namespace {
const DWORD kHangLimitMs = 10000;

// What the worker saw, shared with the test's thread.
struct Journal {
    std::mutex lock;
    std::vector<int> handled;
    int deleted = 0;
    HANDLE entered = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE gate = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    HANDLE allHandled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE allDeleted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    size_t expectHandled = 0;
    int expectDeleted = 0;

    ~Journal()
    {
        CloseHandle(entered);
        CloseHandle(gate);
        CloseHandle(allHandled);
        CloseHandle(allDeleted);
    }
};

class Task : public TThreadQueueData {
public:
    Task(Journal& journal, int id, bool blocks = false)
        : m_journal(journal)
        , m_id(id)
        , m_blocks(blocks)
    {
        SetOwner(&journal);
    }
    ~Task() override
    {
        std::lock_guard<std::mutex> hold(m_journal.lock);
        if (++m_journal.deleted == m_journal.expectDeleted)
            SetEvent(m_journal.allDeleted);
    }
    int Id() const { return m_id; }
    bool Blocks() const { return m_blocks; }

private:
    Journal& m_journal;
    int m_id;
    bool m_blocks;
};

int Handle(TThreadQueueData* data)
{
    auto* task = static_cast<Task*>(data);
    auto* journal = static_cast<Journal*>(task->Owner());
    if (task->Blocks()) {
        SetEvent(journal->entered);
        WaitForSingleObject(journal->gate, INFINITE);
    }
    {
        std::lock_guard<std::mutex> hold(journal->lock);
        journal->handled.push_back(task->Id());
        if (journal->handled.size() == journal->expectHandled)
            SetEvent(journal->allHandled);
    }
    task->Release();
    return 0;
}

struct StopJob {
    TThread* thread;
    bool force;
    bool result = false;
};

DWORD WINAPI RunStop(LPVOID argument)
{
    auto* job = static_cast<StopJob*>(argument);
    job->result = job->thread->Stop(job->force);
    return 0;
}

// Starts with a worker held inside the handler of task 1.
void StartBlocked(TThread& thread, Journal& journal)
{
    ResetEvent(journal.gate);
    ASSERT_TRUE(thread.Start(Handle));
    ASSERT_TRUE(thread.Post(new Task(journal, 1, true), false));
    ASSERT_EQ(WaitForSingleObject(journal.entered, kHangLimitMs), WAIT_OBJECT_0);
}
}

TEST(TThread, StopWithoutAThreadAnswersFalse)
{
    TThread thread;
    EXPECT_FALSE(thread.Stop(true));
    EXPECT_FALSE(thread.Stop(false));
    EXPECT_EQ(thread.ThreadId(), 0u);
}

TEST(TThread, RunsEveryTaskInOrder)
{
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        Journal journal;
        journal.expectHandled = 500;
        TThread thread;
        ASSERT_TRUE(thread.Start(Handle));
        for (int id = 0; id < 500; ++id)
            ASSERT_TRUE(thread.Post(new Task(journal, id), false));
        ASSERT_EQ(WaitForSingleObject(journal.allHandled, kHangLimitMs), WAIT_OBJECT_0);
        EXPECT_TRUE(thread.Stop(true));
        ASSERT_EQ(journal.handled.size(), 500u);
        for (int id = 0; id < 500; ++id)
            ASSERT_EQ(journal.handled[id], id);
        EXPECT_EQ(journal.deleted, 500);
    }
}

TEST(TThread, ATaskPostedAtTheFrontOvertakesQueuedOnes)
{
    Journal journal;
    journal.expectHandled = 4;
    TThread thread;
    StartBlocked(thread, journal);
    ASSERT_TRUE(thread.Post(new Task(journal, 2), false));
    ASSERT_TRUE(thread.Post(new Task(journal, 3), false));
    ASSERT_TRUE(thread.Post(new Task(journal, 4), true));
    SetEvent(journal.gate);
    ASSERT_EQ(WaitForSingleObject(journal.allHandled, kHangLimitMs), WAIT_OBJECT_0);
    EXPECT_EQ(journal.handled, (std::vector<int>{1, 4, 2, 3}));
    EXPECT_TRUE(thread.Stop(false));
}

TEST(TThread, StopReleasesQueuedTasksAndTheWorkerSeesTheStopTaskFirst)
{
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        Journal journal;
        journal.expectDeleted = 4;  // the three queued ones and the one being handled
        TThread thread;
        StartBlocked(thread, journal);
        for (int id = 2; id <= 4; ++id)
            ASSERT_TRUE(thread.Post(new Task(journal, id), false));

        StopJob stop{&thread, false};
        HANDLE stopper = CreateThread(nullptr, 0, RunStop, &stop, 0, nullptr);
        // Wait until the queued tasks were released, i.e. the stop is under way.
        const ULONGLONG deadline = GetTickCount64() + kHangLimitMs;
        for (;;) {
            {
                std::lock_guard<std::mutex> hold(journal.lock);
                if (journal.deleted == 3)
                    break;
            }
            ASSERT_LT(GetTickCount64(), deadline);
            SwitchToThread();
        }
        Task refused(journal, 9);
        EXPECT_FALSE(thread.Post(&refused, false)) << "no tasks while stopping";

        SetEvent(journal.gate);
        ASSERT_EQ(WaitForSingleObject(stopper, kHangLimitMs), WAIT_OBJECT_0);
        CloseHandle(stopper);
        EXPECT_TRUE(stop.result);
        EXPECT_EQ(journal.handled, std::vector<int>{1}) << "nothing queued before the stop ran";
        EXPECT_EQ(thread.ThreadId(), 0u);
    }
}

TEST(TThread, PostAndStartWorkAgainAfterStop)
{
    Journal journal;
    journal.expectHandled = 2;
    TThread thread;
    ASSERT_TRUE(thread.Start(Handle));
    ASSERT_TRUE(thread.Post(new Task(journal, 1), false));
    EXPECT_TRUE(thread.Stop(false));
    ASSERT_TRUE(thread.Post(new Task(journal, 2), false)) << "accepted again";
    ASSERT_TRUE(thread.Post(new Task(journal, 3), false));
    ASSERT_TRUE(thread.Start(Handle));
    ASSERT_EQ(WaitForSingleObject(journal.allHandled, kHangLimitMs), WAIT_OBJECT_0);
    EXPECT_TRUE(thread.Stop(false));
    // Task 1 may or may not have run before the first stop; 2 and 3 ran in order after it.
    ASSERT_GE(journal.handled.size(), 2u);
    EXPECT_EQ(journal.handled.back(), 3);
    EXPECT_EQ(journal.handled[journal.handled.size() - 2], 2);
}

TEST(TThread, AWorkerStuckPastTheStopWaitIsTerminatedOnlyWhenForced)
{
    for (bool force : {true, false}) {
        SCOPED_TRACE(force ? "forced" : "not forced");
        Journal journal;
        TThread thread;
        StartBlocked(thread, journal);
        HANDLE worker = OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, thread.ThreadId());
        ASSERT_NE(worker, nullptr);

        EXPECT_TRUE(thread.Stop(force));
        EXPECT_EQ(thread.ThreadId(), 0u);
        if (force) {
            EXPECT_EQ(WaitForSingleObject(worker, kHangLimitMs), WAIT_OBJECT_0) << "terminated";
            EXPECT_TRUE(journal.handled.empty());
        } else {
            EXPECT_EQ(WaitForSingleObject(worker, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "left running";
            SetEvent(journal.gate);
            EXPECT_EQ(WaitForSingleObject(worker, kHangLimitMs), WAIT_OBJECT_0) << "ends at the stop task";
            EXPECT_EQ(journal.handled, std::vector<int>{1});
        }
        DWORD code = 99;
        GetExitCodeThread(worker, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(worker);
        if (force) {
            // The next worker must not meet the stop task the terminated one never took.
            journal.expectHandled = 1;
            ResetEvent(journal.allHandled);
            journal.handled.clear();
            SetEvent(journal.gate);
            ASSERT_TRUE(thread.Start(Handle));
            ASSERT_TRUE(thread.Post(new Task(journal, 7), false));
            ASSERT_EQ(WaitForSingleObject(journal.allHandled, kHangLimitMs), WAIT_OBJECT_0);
            EXPECT_EQ(journal.handled, std::vector<int>{7});
            EXPECT_TRUE(thread.Stop(true));
        }
    }
}
