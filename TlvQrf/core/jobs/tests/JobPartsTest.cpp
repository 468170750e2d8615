// The pieces the job queue is made of: its events, the thread object, the
// progress monitors and the job base class.
#include "jobs/TlJob.h"
#include "jobs/TlProgressMonitor.h"
#include "jobs/TlSyncEvent.h"
#include "jobs/TlWorkerThread.h"

#include "JobsTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <thread>

namespace {

using namespace jobs_test;

// ---- Events

HANDLE WINAPI FailingCreate(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCSTR)
{
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

class FailedEvent : public Tl::CSyncEvent {
public:
    FailedEvent() : CSyncEvent(nullptr, -1, &FailingCreate) {}
};

TEST(SyncEvent, IsAutoResetAndStartsUnsignalled)
{
    Tl::CSyncEvent event;
    EXPECT_EQ(0u, event.GetError());
    EXPECT_STREQ("", event.GetName());
    EXPECT_FALSE(event.TryEnter());
    event.Signal();
    event.Signal(); // a second set adds nothing to one pending signal
    EXPECT_TRUE(event.TryEnter());
    EXPECT_FALSE(event.TryEnter());
}

TEST(SyncEvent, WaitConsumesTheSignal)
{
    Tl::CSyncEvent event;
    event.Signal();
    EXPECT_TRUE(event.Wait());
    EXPECT_FALSE(event.TryEnter());
}

TEST(SyncEvent, WaitReturnsOnceAnotherThreadSetsIt)
{
    Tl::CSyncEvent event;
    std::thread setter([&] { event.Leave(); });
    EXPECT_TRUE(event.Wait());
    setter.join();
}

TEST(SyncEvent, FailedCreationKeepsTheErrorAndNeverWaits)
{
    FailedEvent event;
    EXPECT_EQ(DWORD(ERROR_NOT_ENOUGH_MEMORY), event.GetError());
    event.Signal();
    EXPECT_FALSE(event.Wait()); // returns at once, without waiting
}

// ---- The thread object

class CountingThread : public CWorkerThread {
public:
    explicit CountingThread(Latch* destroyed = nullptr) : m_destroyed(destroyed) {}
    ~CountingThread() override
    {
        if (m_destroyed)
            m_destroyed->Open();
    }
    unsigned long Run() override
    {
        ++runs;
        return 7;
    }
    int runs = 0;

private:
    Latch* m_destroyed;
};

TEST(WorkerThread, StartsWithNoThread)
{
    CountingThread thread;
    EXPECT_EQ(nullptr, thread.GetThreadHandle());
    EXPECT_EQ(0u, thread.GetThreadId());
    EXPECT_TRUE(thread.IsAutoDelete());
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_FALSE(thread.StopAfterCurrent());
}

TEST(WorkerThread, KeptThreadClearsItsRunningFlagWhenRunReturns)
{
    for (int i = 0; i < 200; ++i) {
        CountingThread thread;
        thread.SetAutoDelete(false);
        ASSERT_TRUE(thread.Start());
        ASSERT_NE(nullptr, thread.GetThreadHandle());
        EXPECT_NE(0u, thread.GetThreadId());
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.GetThreadHandle(), INFINITE));
        EXPECT_FALSE(thread.IsRunning());
        EXPECT_EQ(1, thread.runs);
        DWORD exitCode = 1;
        GetExitCodeThread(thread.GetThreadHandle(), &exitCode);
        EXPECT_EQ(0u, exitCode);
    }
}

TEST(WorkerThread, AutoDeleteThreadDestroysItselfAfterRun)
{
    for (int i = 0; i < 200; ++i) {
        Latch destroyed;
        auto* thread = new CountingThread(&destroyed);
        ASSERT_TRUE(thread->Start());
        destroyed.Wait();
    }
}

// ---- Monitors

class RecordingMonitor : public CPausableMonitor {
public:
    bool answer = false;
    int progressCalls = 0;
    std::vector<bool> enabledChanges;
    long resetPosition = -1;
    long resetTotal = -1;
    int notifies = 0;

protected:
    void OnReset(long position, long total) override
    {
        resetPosition = position;
        resetTotal = total;
    }
    void OnNotify() override { ++notifies; }
    bool OnProgress(long, long) override
    {
        ++progressCalls;
        return answer;
    }
    void OnEnabledChanged(bool enabled) override { enabledChanges.push_back(enabled); }
};

TEST(ProgressMonitor, ProgressStoresTheHooksAnswer)
{
    RecordingMonitor monitor;
    monitor.answer = true;
    EXPECT_TRUE(monitor.Progress(1, 2));
    EXPECT_TRUE(monitor.IsAborted());
    // Once aborted, a report answers at once.
    EXPECT_TRUE(monitor.Progress(2, 2));
    EXPECT_EQ(1, monitor.progressCalls);
}

TEST(ProgressMonitor, ResetClearsTheAbortAndPassesItsArguments)
{
    RecordingMonitor monitor;
    monitor.Abort();
    monitor.Reset(3, 9);
    EXPECT_FALSE(monitor.IsAborted());
    EXPECT_EQ(3, monitor.resetPosition);
    EXPECT_EQ(9, monitor.resetTotal);
    monitor.Notify();
    EXPECT_EQ(1, monitor.notifies);
    EXPECT_FALSE(monitor.Progress(1, 2));
    EXPECT_EQ(1, monitor.progressCalls);
}

TEST(ProgressMonitor, EnabledChangesReachTheHookOnlyWhenTheyChange)
{
    RecordingMonitor monitor;
    EXPECT_TRUE(monitor.IsEnabled());
    monitor.SetEnabled(true);
    monitor.SetEnabled(false);
    monitor.SetEnabled(false);
    monitor.SetEnabled(true);
    EXPECT_EQ((std::vector<bool>{false, true}), monitor.enabledChanges);
    EXPECT_TRUE(monitor.IsEnabled());
}

TEST(PausableMonitor, PausePointOfAnUnpausedMonitorReturnsAtOnce)
{
    RecordingMonitor monitor;
    EXPECT_TRUE(monitor.PausePoint());
    EXPECT_TRUE(monitor.WaitPaused());
}

TEST(PausableMonitor, ParkedWorkerStaysUntilResume)
{
    RecordingMonitor monitor;
    for (int i = 0; i < 200; ++i) {
        Observed observed;
        int left = 0;
        monitor.SetPaused();
        std::thread worker([&] {
            monitor.PausePoint();
            observed.Update([&] { ++left; });
        });
        ASSERT_TRUE(monitor.WaitPaused());
        const int leftBeforeResume = observed.Read([&] { return left; });
        // A leftover resume signal must not let the next park pass: Resume
        // with nobody parked leaves one behind.
        monitor.Resume();
        worker.join();
        EXPECT_EQ(0, leftBeforeResume);
        EXPECT_FALSE(monitor.IsPaused());
        monitor.SetPaused();
        monitor.Resume();
    }
}

TEST(PausableMonitor, ResumeReleasesEveryParkedThread)
{
    // A filter thread that ends a phase and the worker can both be parked.
    RecordingMonitor monitor;
    for (int i = 0; i < 200; ++i) {
        monitor.SetPaused();
        std::thread first([&] { monitor.PausePoint(); });
        std::thread second([&] { monitor.PausePoint(); });
        ASSERT_TRUE(monitor.WaitPaused());
        monitor.Resume();
        first.join();
        second.join();
    }
}

// ---- Jobs

class PlainJob : public CJob {
public:
    void Release(bool) override {}
    int GetKind() override { return kKindSingle; }
    const char* GetSourcePath() override { return ""; }
    void SetSourcePath(const char*) override {}
    const char* GetTargetPath() override { return ""; }
    void SetTargetPath(const char*) override {}
    long Run() override { return 0; }
    void SetTempFile(const char* path) { std::snprintf(m_tempFileName, sizeof m_tempFileName, "%s", path); }
};

TEST(Job, StartsWithItsDefaults)
{
    PlainJob job;
    EXPECT_FALSE(job.GetOptionFlag());
    EXPECT_EQ(5, job.GetOutputKind());
    EXPECT_EQ(2, job.GetKindFromFlags());
    EXPECT_EQ(0, job.GetPriority());
    EXPECT_EQ(nullptr, job.GetQueue());
    EXPECT_STREQ("", job.GetTempFilePath());
    job.SetOptionFlag(true);
    EXPECT_TRUE(job.GetOptionFlag());
}

TEST(Job, SerialNumbersCountUp)
{
    PlainJob first;
    PlainJob second;
    EXPECT_GE(first.GetSerialNumber(), 1);
    EXPECT_EQ(first.GetSerialNumber() + 1, second.GetSerialNumber());
}

struct OutputFormatCase {
    std::uint32_t format;
    std::uint32_t flag;
    int kind;
    std::uint32_t readBack;
};

void PrintTo(const OutputFormatCase& c, std::ostream* os)
{
    *os << "format " << c.format << " flag " << c.flag;
}

class JobOutputFormat : public testing::TestWithParam<OutputFormatCase> {};

TEST_P(JobOutputFormat, SetsTheKindAndReadsItBack)
{
    PlainJob job;
    job.SetOutputFormat(GetParam().format, GetParam().flag);
    EXPECT_EQ(GetParam().kind, job.GetOutputKind());
    EXPECT_EQ(GetParam().readBack, job.GetOutputFormat());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, JobOutputFormat,
    testing::Values(OutputFormatCase{1, 0, 5, 1}, OutputFormatCase{1, 1, 6, 1}, OutputFormatCase{32, 0x100, 5, 1},
                    OutputFormatCase{16, 0x1FF, 6, 1}, OutputFormatCase{256, 1, 4, 256},
                    OutputFormatCase{2048, 0, 4, 256}, OutputFormatCase{0x10000000, 0, 1, 0x10000000},
                    OutputFormatCase{3, 0, 0, 0}, OutputFormatCase{1024, 0, 4, 256}, OutputFormatCase{0, 0, 0, 0}));

TEST(Job, KindFromFlagsTakesTheLowestSetBit)
{
    const struct {
        std::uint32_t flags;
        int kind;
    } cases[] = {{1, 0}, {7, 0}, {2, 1}, {6, 1}, {4, 3}, {0, 6}, {8, 6}};
    for (const auto& c : cases) {
        PlainJob job;
        job.SetKindFromFlags(c.flags);
        EXPECT_EQ(c.kind, job.GetKindFromFlags()) << "flags " << c.flags;
    }
}

TEST(Job, FreesThroughItsQueueOnly)
{
    Journal journal;
    RecordingQueue queue(journal);
    PlainJob job;
    int object = 0;
    job.FreeThroughQueue(&object); // no queue yet: nothing
    EXPECT_TRUE(queue.freed.empty());
    EXPECT_EQ(0, job.SetQueue(&queue));
    job.FreeThroughQueue(&object);
    EXPECT_EQ(std::vector<void*>{&object}, queue.freed);
}

TEST(Job, DeleteTempFileRemovesTheFileAndIgnoresAMissingOne)
{
    TempFolder folder;
    const std::string file = folder.Write("job.tmp", "");
    PlainJob job;
    job.SetTempFile(file.c_str());
    job.DeleteTempFile();
    EXPECT_FALSE(TempFolder::Exists(file));
    job.DeleteTempFile();
}

} // namespace
