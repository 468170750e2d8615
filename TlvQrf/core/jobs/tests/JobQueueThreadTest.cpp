// The job queue with its worker thread. Each job blocks on a latch that the
// test opens, so every step is reached by waiting for a state, never by
// sleeping. Each test runs many rounds on one queue, so that signals left
// over from earlier rounds meet the waits of later ones.
#include "JobsTestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <new>
#include <thread>

namespace {

using namespace jobs_test;

constexpr int kRounds = 200;

using Names = std::vector<std::string>;
using Results = std::vector<std::pair<std::string, long>>;

void ExpectRun(const RunRecord& run, bool stopped, int succeeded, int failed)
{
    EXPECT_EQ(stopped, run.stopped);
    EXPECT_EQ(succeeded, run.succeeded);
    EXPECT_EQ(failed, run.failed);
}

class JobQueueThreads : public testing::Test {
protected:
    // Pauses on another thread and lets `job` run into its first progress
    // report; answers how many reports the job had reached when Pause returned.
    int PauseAtFirstReport(LatchedJob& job)
    {
        int reachedWhenPaused = -1;
        std::thread pauser([&] {
            queue.Pause();
            reachedWhenPaused = job.Reached();
        });
        journal.WaitForPauserLooks(1);
        job.Open();
        pauser.join();
        return reachedWhenPaused;
    }

    // Pauses on another thread while `job` runs and lets it finish.
    void PauseAfter(LatchedJob& job)
    {
        std::thread pauser([&] { queue.Pause(); });
        journal.WaitForPauserLooks(1);
        job.Open();
        pauser.join();
    }

    // A fresh round: queues the jobs, starts the worker and waits until the
    // first job runs.
    void Launch(std::initializer_list<LatchedJob*> jobs)
    {
        journal.Clear();
        for (LatchedJob* job : jobs)
            ASSERT_EQ(0, queue.AddJob(job));
        ASSERT_EQ(0, queue.Start());
        (*jobs.begin())->WaitStarted();
    }

    Journal journal;
    RecordingQueue queue{journal};
};

TEST_F(JobQueueThreads, RunsTheJobsInOrderAndReportsTheRun)
{
    for (int round = 0; round < kRounds; ++round) {
        journal.Clear();
        OpenJob a(journal, "a");
        OpenJob b(journal, "b", 1, 2);
        OpenJob c(journal, "c");
        OpenJob d(journal, "d", 2);
        for (CJob* job : std::initializer_list<CJob*>{&a, &b, &c, &d})
            ASSERT_EQ(0, queue.AddJob(job));
        ASSERT_EQ(0, queue.Start());
        journal.WaitForRuns(1);
        ASSERT_EQ((Names{"d", "a", "b", "c"}), journal.Started());
        ASSERT_EQ((Results{{"d", 0}, {"a", 0}, {"b", 2}, {"c", 0}}), journal.Done());
        ExpectRun(journal.Runs()[0], false, 3, 1);
        ASSERT_TRUE(queue.IsIdle());
        ASSERT_EQ(nullptr, queue.GetCurrentJob());
    }
}

TEST_F(JobQueueThreads, JobsAddedWhileTheWorkerRunsJoinItsRun)
{
    for (int round = 0; round < kRounds; ++round) {
        LatchedJob a(journal, "x");
        OpenJob b(journal, "x");
        OpenJob c(journal, "c");
        Launch({&a});
        EXPECT_TRUE(queue.IsRunning());
        EXPECT_TRUE(queue.IsBusy());
        EXPECT_EQ(&a, queue.GetCurrentJob());
        queue.AddJob(&b);
        queue.AddJob(&c);
        EXPECT_EQ(&a, queue.FindJob("x")); // the running job first
        EXPECT_EQ(0, queue.Start());       // no second worker
        a.Open();
        journal.WaitForRuns(1);
        ASSERT_EQ((Names{"x", "x", "c"}), journal.Started());
        ASSERT_EQ(1u, journal.Runs().size());
    }
}

// A host polls right after queuing: a job that the worker is just taking
// must not read as finished before it ran.
TEST_F(JobQueueThreads, AJobBeingTakenIsNeverReadAsFinished)
{
    for (int round = 0; round < kRounds; ++round) {
        journal.Clear();
        OpenJob job(journal, "quick");
        ASSERT_EQ(0, queue.AddJob(&job));
        ASSERT_EQ(0, queue.Start());
        while (queue.IsBusy()) {
        }
        EXPECT_EQ(1u, journal.Done().size()) << "round " << round;
        journal.WaitForRuns(1);
    }
}

// A job of two steps, as a save job loads and then saves: it stops after
// its load step until the test lets it save, then begins its save step and a
// progress phase and makes one report; 4 when that report says stop.
class TwoStepJob : public LatchedJob {
public:
    using LatchedJob::LatchedJob;

    long Run() override
    {
        GetQueue()->BeginLoadStep(this);
        m_loaded.Open();
        m_save.Wait();
        GetQueue()->BeginSaveStep(this);
        GetQueue()->Reset(0, 10);
        return GetQueue()->Progress(1, 10) ? 4 : 0;
    }
    void WaitLoaded() { m_loaded.Wait(); }
    void LetSave() { m_save.Open(); }

private:
    Latch m_loaded;
    Latch m_save;
};

// The host aborts while the job is between its steps: the later steps must
// still see the abort, and the next job must not.
TEST_F(JobQueueThreads, AnAbortBetweenTheStepsOfAJobStopsItAndNoOther)
{
    for (int round = 0; round < kRounds; ++round) {
        journal.Clear();
        TwoStepJob aborted(journal, "aborted");
        TwoStepJob next(journal, "next");
        next.LetSave();
        ASSERT_EQ(0, queue.AddJob(&aborted));
        ASSERT_EQ(0, queue.AddJob(&next));
        ASSERT_EQ(0, queue.Start());
        aborted.WaitLoaded();
        EXPECT_TRUE(queue.AbortCurrent());
        aborted.LetSave();
        journal.WaitForRuns(1);
        ASSERT_EQ((Results{{"aborted", 4}, {"next", 0}}), journal.Done());
    }
}

// A host queues its next job as soon as the last one reads finished, while
// the worker may still be ending its run: that job runs all the same.
TEST_F(JobQueueThreads, AJobQueuedWhileTheRunEndsStillRuns)
{
    for (int round = 0; round < kRounds; ++round) {
        journal.Clear();
        OpenJob first(journal, "first");
        OpenJob next(journal, "next");
        ASSERT_EQ(0, queue.AddJob(&first));
        ASSERT_EQ(0, queue.Start());
        while (queue.IsBusy()) {
        }
        ASSERT_EQ(0, queue.AddJob(&next));
        ASSERT_EQ(0, queue.Start());
        journal.WaitForDone(2);
        // Both jobs ran, in one run or in two; the runs have ended.
        journal.observed.WaitFor([&] {
            int counted = 0;
            for (const RunRecord& run : journal.runs)
                counted += run.succeeded + run.failed;
            return counted == 2;
        });
    }
}

// Each round pauses between two jobs first (which leaves acknowledgements
// behind), then at a progress report: that Pause must still wait for it.
TEST_F(JobQueueThreads, PauseHoldsTheWorkerUntilStartResumesIt)
{
    for (int round = 0; round < kRounds; ++round) {
        LatchedJob a(journal, "a");
        LatchedJob b(journal, "b", 1, 0, 1);
        OpenJob c(journal, "c");
        Launch({&a, &b, &c});

        // Between jobs: the worker looks at the queue while Pause waits.
        PauseAfter(a);
        ASSERT_EQ((Names{"a"}), journal.Started());
        EXPECT_EQ(2, queue.GetJobCount());
        EXPECT_TRUE(queue.IsRunning());
        EXPECT_TRUE(queue.IsPaused());
        EXPECT_EQ(1, queue.LiveContexts());
        ASSERT_EQ(0, queue.Start());
        EXPECT_FALSE(queue.IsPaused());
        EXPECT_EQ(0, queue.LiveContexts());

        // At a progress report: b is held inside it.
        b.WaitStarted();
        journal.Clear();
        EXPECT_EQ(1, PauseAtFirstReport(b));
        EXPECT_EQ(0, b.Passed());
        EXPECT_EQ(&b, queue.GetCurrentJob());
        ASSERT_EQ(0, queue.Start());
        journal.WaitForRuns(1);
        EXPECT_EQ(1, b.Passed());
        ASSERT_EQ((Names{"c"}), journal.Started());
        ExpectRun(journal.Runs()[0], false, 3, 0);
    }
}

TEST_F(JobQueueThreads, ParkedWorkerIgnoresLeftoverResumeSignals)
{
    for (int round = 0; round < kRounds; ++round) {
        // A resume with nobody parked leaves the resume event set.
        queue.Pause();
        queue.Start();
        LatchedJob a(journal, "a", 1, 0, 1);
        Launch({&a});
        EXPECT_EQ(1, PauseAtFirstReport(a));
        EXPECT_EQ(0, a.Passed());
        queue.Start();
        journal.WaitForRuns(1);
        EXPECT_EQ(1, a.Passed());
    }
}

// A job that opens a filter phase (the monitor disabled) and closes it after
// its latch opens, or leaves it open when it ends.
class PhasedJob : public LatchedJob {
public:
    PhasedJob(Journal& journal, std::string target, bool closesPhase)
        : LatchedJob(journal, std::move(target)), m_closesPhase(closesPhase)
    {
    }
    long Run() override
    {
        GetQueue()->SetEnabled(false);
        const long result = LatchedJob::Run();
        if (m_closesPhase)
            GetQueue()->SetEnabled(true);
        return result;
    }

private:
    bool m_closesPhase;
};

TEST_F(JobQueueThreads, PauseDuringAFilterPhaseHoldsTheWorkerWhenThePhaseEnds)
{
    for (int round = 0; round < kRounds; ++round) {
        PhasedJob a(journal, "a", true);
        OpenJob b(journal, "b");
        Launch({&a, &b});
        journal.Clear();
        std::thread pauser([&] { queue.Pause(); });
        // Only the pauser asks now: it waits for the phase to end.
        journal.WaitForEnabledLooks(1);
        a.Open();
        pauser.join();
        EXPECT_TRUE(queue.IsPaused());
        EXPECT_TRUE(journal.Done().empty()); // held inside the end of its phase
        EXPECT_TRUE(journal.Started().empty());
        queue.Start();
        journal.WaitForRuns(1);
        ASSERT_EQ((Names{"b"}), journal.Started());
        ASSERT_EQ((Results{{"a", 0}, {"b", 0}}), journal.Done());
        EXPECT_TRUE(queue.IsEnabled());
    }
}

TEST_F(JobQueueThreads, PhaseLeftOpenByAnEndedJobDoesNotHoldALaterPause)
{
    for (int round = 0; round < kRounds; ++round) {
        PhasedJob open(journal, "open", false);
        LatchedJob a(journal, "a", 1, 0, 1);
        open.Open();
        Launch({&open, &a});
        a.WaitStarted();
        EXPECT_EQ(1, PauseAtFirstReport(a));
        queue.Start();
        journal.WaitForRuns(1);
    }
}

TEST_F(JobQueueThreads, AbortStopsTheJobAtItsNextReport)
{
    for (int round = 0; round < kRounds; ++round) {
        LatchedJob a(journal, "a", 1, 0, 3);
        OpenJob b(journal, "b");
        Launch({&a, &b});
        EXPECT_TRUE(queue.AbortCurrent());
        a.Open();
        journal.WaitForRuns(1);
        EXPECT_EQ(1, a.Reached());
        EXPECT_EQ(0, a.Passed());
        // The next job's save step clears the abort.
        ASSERT_EQ((Results{{"a", 4}, {"b", 0}}), journal.Done());
        ExpectRun(journal.Runs()[0], false, 1, 1);
    }
}

TEST_F(JobQueueThreads, AbortWhilePausedEndsTheJobAndTheQueueStaysPaused)
{
    for (int round = 0; round < kRounds; ++round) {
        LatchedJob a(journal, "a", 1, 0, 2);
        OpenJob b(journal, "b");
        Launch({&a, &b});
        EXPECT_EQ(1, PauseAtFirstReport(a));
        EXPECT_TRUE(queue.AbortCurrent());
        EXPECT_EQ(0, queue.LiveContexts());
        journal.WaitForDone(1);
        EXPECT_EQ(0, queue.Pause()); // already paused: returns once the worker is held
        EXPECT_TRUE(queue.IsPaused());
        ASSERT_EQ((Names{"a"}), journal.Started());
        ASSERT_EQ((Results{{"a", 4}}), journal.Done());
        queue.Start();
        journal.WaitForRuns(1);
        ASSERT_EQ((Names{"a", "b"}), journal.Started());
    }
}

TEST_F(JobQueueThreads, CancelReturnsWhenTheRunHasEndedAndKeepsTheRest)
{
    for (int round = 0; round < kRounds; ++round) {
        LatchedJob a(journal, "a", 1, 0, 1);
        OpenJob b(journal, "b");
        OpenJob c(journal, "c");
        Launch({&a, &b, &c});
        size_t runsWhenCancelled = 0;
        std::thread canceller([&] {
            queue.Cancel();
            runsWhenCancelled = journal.Runs().size();
        });
        journal.WaitForPauserLooks(1);
        a.Open();
        canceller.join();
        ASSERT_EQ(1u, runsWhenCancelled);
        ExpectRun(journal.Runs()[0], true, 0, 3);
        ASSERT_EQ((Results{{"a", 4}}), journal.Done());
        EXPECT_EQ(CJobQueue::kStateWaiting, queue.GetState());
        EXPECT_EQ(2, queue.GetJobCount());
        EXPECT_FALSE(queue.IsPaused());
        EXPECT_EQ(0, queue.LiveContexts());
        // The rest run at the next Start; that run's end is left signalled
        // for the next round's Cancel to ignore.
        queue.Start();
        journal.WaitForRuns(2);
        ASSERT_EQ((Names{"a", "b", "c"}), journal.Started());
        ExpectRun(journal.Runs()[1], false, 2, 0);
    }
}

TEST_F(JobQueueThreads, CancelOfAPausedRunKeepsTheQueuePaused)
{
    for (int round = 0; round < kRounds; ++round) {
        LatchedJob a(journal, "a", 1, 0, 1);
        OpenJob b(journal, "b");
        Launch({&a, &b});
        EXPECT_EQ(1, PauseAtFirstReport(a));
        EXPECT_EQ(0, queue.Cancel());
        ASSERT_EQ(1u, journal.Runs().size());
        ExpectRun(journal.Runs()[0], true, 0, 2);
        EXPECT_TRUE(queue.IsPaused());
        EXPECT_EQ(1, queue.LiveContexts());
        EXPECT_EQ(1, queue.GetJobCount());
        queue.Start();
        journal.WaitForRuns(2);
        ASSERT_EQ((Names{"a", "b"}), journal.Started());
    }
}

TEST_F(JobQueueThreads, CancelOfAWorkerHeldBetweenJobsEndsItsRun)
{
    for (int round = 0; round < kRounds; ++round) {
        LatchedJob a(journal, "a");
        OpenJob b(journal, "b");
        Launch({&a, &b});
        PauseAfter(a);
        EXPECT_EQ(0, queue.Cancel());
        journal.WaitForRuns(1);
        ExpectRun(journal.Runs()[0], true, 1, 1);
        EXPECT_TRUE(queue.IsPaused());
        EXPECT_EQ(1, queue.GetJobCount());
        ASSERT_EQ((Names{"a"}), journal.Started());
        queue.Start();
        journal.WaitForRuns(2);
        ASSERT_EQ((Names{"a", "b"}), journal.Started());
    }
}

TEST_F(JobQueueThreads, RemovingTheRunningJobOnlyAbortsIt)
{
    for (int round = 0; round < kRounds; ++round) {
        LatchedJob a(journal, "a", 1, 0, 1);
        OpenJob b(journal, "b");
        Launch({&a, &b});
        EXPECT_TRUE(queue.RemoveJob(&a));
        EXPECT_EQ(&a, queue.GetCurrentJob());
        a.Open();
        journal.WaitForRuns(1);
        ASSERT_EQ((Results{{"a", 4}, {"b", 0}}), journal.Done());
    }
}

TEST_F(JobQueueThreads, RemovingQueuedJobsLeavesTheRunGoing)
{
    for (int round = 0; round < kRounds; ++round) {
        LatchedJob a(journal, "a");
        OpenJob b(journal, "b");
        OpenJob c(journal, "c");
        Launch({&a, &b, &c});
        EXPECT_TRUE(queue.RemoveJob(&b));
        EXPECT_TRUE(queue.RemoveJob(&c));
        EXPECT_EQ(0, queue.GetJobCount());
        EXPECT_TRUE(queue.IsRunning()); // the worker still runs a
        a.Open();
        journal.WaitForRuns(1);
        ASSERT_EQ((Names{"a"}), journal.Started());
        ASSERT_EQ((Results{{"b", 8}, {"c", 8}, {"a", 0}}), journal.Done());
        EXPECT_TRUE(queue.IsIdle());
    }
}

// A queue with nothing but the hooks: its destructor is the queue's own.
class BareQueue : public CJobQueue {
public:
    explicit BareQueue(Journal& journal) : m_journal(journal) {}

    void OnLoadStarted(CJob*) override {}
    void OnSaveStarted(CJob*) override {}
    void OnLoadFinished(long, CJob*) override {}
    void OnJobDone(long, CJob*) override {}
    void OnRunFinished(bool stopped, int succeeded, int failed) override
    {
        m_journal.observed.Update([&] { m_journal.runs.push_back({stopped, succeeded, failed}); });
    }
    void FreeObject(void*) override {}
    void OnJobAdded(CJob*, int) override {}
    ITlSaveContext* NewSaveContext() override { return nullptr; }

protected:
    void OnReset(long, long) override {}
    void OnNotify() override {}
    bool OnProgress(long, long) override { return IsAborted(); }

private:
    Journal& m_journal;
};

// The host destroys the queue as soon as its run has ended; the worker still
// ends its run in the queue after that, so the destructor waits for it.
TEST(JobQueueLife, DestroyedAsSoonAsItsRunHasEndedTheQueueWaitsForItsWorker)
{
    Journal journal;
    DestroyEachQueueAsItsRunEnds(kRounds, sizeof(HeldAtRunEnd<BareQueue>), [&](void* memory, RunEndHandshake& end) {
        return new (memory) HeldAtRunEnd<BareQueue>(end, journal);
    });
    EXPECT_EQ(size_t(kRounds), journal.Runs().size());
}

// Stands for the run-time's own per-thread state, which a thread ending
// clears after its last word to the queue: it takes a while to go.
struct SlowThreadEnd {
    ~SlowThreadEnd() { Sleep(50); }
    void Touch() {}
};

// Keeps a handle on the thread that ends its run.
class ThreadNotingQueue : public BareQueue {
public:
    ThreadNotingQueue(Journal& journal, HANDLE& worker) : BareQueue(journal), m_worker(worker) {}

    void OnRunFinished(bool stopped, int succeeded, int failed) override
    {
        thread_local SlowThreadEnd slow;
        slow.Touch();
        if (!m_worker)
            DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &m_worker, SYNCHRONIZE,
                            FALSE, 0);
        BareQueue::OnRunFinished(stopped, succeeded, failed);
    }

private:
    HANDLE& m_worker;
};

// A worker thread cut off while it clears its per-thread state can leave the
// run-time's locks held, and the process hangs at exit: the queue's
// destructor returns only once its worker's thread has ended.
TEST(JobQueueLife, TheQueueGoesOnlyAfterItsWorkerThreadHasEnded)
{
    Journal journal;
    HANDLE worker = nullptr;
    auto* queue = new ThreadNotingQueue(journal, worker);
    OpenJob job(journal, "a");
    ASSERT_EQ(0, queue->AddJob(&job));
    ASSERT_EQ(0, queue->Start());
    journal.WaitForRuns(1);
    delete queue;

    ASSERT_NE(nullptr, worker);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 0));
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
}

} // namespace
