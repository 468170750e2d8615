// The job queue on one thread: insertion order, refusals, removal, search,
// clearing, a cancel with no worker, failed starts and the global queue.
#include "jobs/TlGlobalJobQueue.h"

#include "JobsTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <ostream>
#include <thread>

namespace {

using namespace jobs_test;

using Jobs = std::vector<std::unique_ptr<LatchedJob>>;

std::vector<std::string> DrainTargets(CJobQueue& queue)
{
    std::vector<std::string> targets;
    while (CJob* job = queue.TakeNextJob())
        targets.push_back(job->GetTargetPath());
    return targets;
}

struct InsertionCase {
    const char* name;
    std::vector<int> priorities; // jobs "0", "1", ... in this order of arrival
    std::vector<int> positions;  // OnJobAdded's position of each
    std::vector<std::string> order;
};

void PrintTo(const InsertionCase& c, std::ostream* os)
{
    *os << c.name;
}

class JobQueueInsertion : public testing::TestWithParam<InsertionCase> {};

TEST_P(JobQueueInsertion, FollowsThePriorities)
{
    Journal journal;
    RecordingQueue queue(journal);
    Jobs jobs;
    for (size_t i = 0; i < GetParam().priorities.size(); ++i) {
        jobs.push_back(std::make_unique<LatchedJob>(journal, std::to_string(i), GetParam().priorities[i]));
        ASSERT_EQ(0, queue.AddJob(jobs.back().get()));
    }
    std::vector<int> positions;
    for (const auto& added : journal.added)
        positions.push_back(added.second);
    EXPECT_EQ(GetParam().positions, positions);
    EXPECT_EQ(GetParam().order, DrainTargets(queue));
}

INSTANTIATE_TEST_SUITE_P(
    Orders, JobQueueInsertion,
    testing::Values(InsertionCase{"EqualKeepArrival", {1, 1, 1}, {0, 1, 2}, {"0", "1", "2"}},
                    InsertionCase{"HigherThanFrontGoesFirst", {1, 1, 2}, {0, 1, 0}, {"2", "0", "1"}},
                    InsertionCase{"PriorityZeroGoesLast", {2, 0, 1}, {0, 1, 1}, {"0", "2", "1"}},
                    InsertionCase{"EqualToFrontGoesBehindIt", {2, 2, 1, 2}, {0, 1, 2, 2}, {"0", "1", "3", "2"}},
                    InsertionCase{"BeforeTheFirstLower", {3, 1, 2}, {0, 1, 1}, {"0", "2", "1"}}),
    [](const testing::TestParamInfo<InsertionCase>& info) { return std::string(info.param.name); });

class JobQueue : public testing::Test {
protected:
    void QueueAB()
    {
        ASSERT_EQ(0, queue.AddJob(&a));
        ASSERT_EQ(0, queue.AddJob(&b));
    }

    Journal journal;
    RecordingQueue queue{journal};
    LatchedJob a{journal, "a"};
    LatchedJob b{journal, "b"};
};

TEST_F(JobQueue, StartsIdle)
{
    EXPECT_EQ(CJobQueue::kStateIdle, queue.GetState());
    EXPECT_TRUE(queue.IsIdle());
    EXPECT_FALSE(queue.IsRunning());
    EXPECT_FALSE(queue.IsPaused());
    EXPECT_FALSE(queue.IsBusy());
    EXPECT_EQ(nullptr, queue.GetCurrentJob());
    EXPECT_EQ(0, queue.GetJobCount());
    EXPECT_FALSE(queue.AbortCurrent());
    EXPECT_FALSE(queue.HasSaveContext());
}

TEST_F(JobQueue, AddingAJobMakesItWait)
{
    LatchedJob job(journal, "a");
    ASSERT_EQ(0, queue.AddJob(&job));
    EXPECT_EQ(&queue, job.GetQueue());
    EXPECT_EQ(CJobQueue::kStateWaiting, queue.GetState());
    EXPECT_TRUE(queue.IsBusy());
    EXPECT_EQ(1, queue.GetJobCount());
}

TEST_F(JobQueue, RefusesWhatItCannotRun)
{
    EXPECT_EQ(3, queue.AddJob(nullptr));
    for (int kind : {0, 2, 4, -1}) {
        LatchedJob job(journal, "odd");
        job.SetKind(kind); // kind 2 that is not a batch is refused too
        EXPECT_EQ(3, queue.AddJob(&job)) << "kind " << kind;
    }
    EXPECT_EQ(0, queue.GetJobCount());
    EXPECT_TRUE(queue.IsIdle());
    LatchedJob other(journal, "other");
    other.SetKind(CJob::kKindOther);
    EXPECT_EQ(0, queue.AddJob(&other));
}

class RefusingJob : public LatchedJob {
public:
    using LatchedJob::LatchedJob;
    int SetQueue(CJobQueue*) override { return 1; }
};

TEST_F(JobQueue, RefusesAJobThatRefusesTheQueue)
{
    RefusingJob job(journal, "a");
    EXPECT_EQ(3, queue.AddJob(&job));
    EXPECT_EQ(0, queue.GetJobCount());
}

class TestBatch : public CJobBatch {
public:
    void Release(bool) override {}
    const char* GetSourcePath() override { return ""; }
    void SetSourcePath(const char*) override {}
    const char* GetTargetPath() override { return "batch"; }
    void SetTargetPath(const char*) override {}
    long Run() override { return 0; }
};

TEST_F(JobQueue, BatchQueuesItsJobsInOrderBehindTheOthers)
{
    LatchedJob first(journal, "first", 5);
    LatchedJob x(journal, "x", 9);
    LatchedJob y(journal, "y", 1);
    TestBatch batch;
    batch.Jobs() = {&x, &y};
    ASSERT_EQ(0, queue.AddJob(&first));
    ASSERT_EQ(0, queue.AddJob(&batch));
    EXPECT_EQ(&queue, x.GetQueue());
    EXPECT_EQ(&queue, y.GetQueue());
    EXPECT_EQ((std::vector<std::pair<std::string, int>>{{"first", 0}, {"x", 1}, {"y", 2}}), journal.added);
    EXPECT_EQ((std::vector<std::string>{"first", "x", "y"}), DrainTargets(queue));
}

TEST_F(JobQueue, EmptyBatchLeavesTheQueueIdle)
{
    TestBatch batch;
    EXPECT_EQ(0, queue.AddJob(&batch));
    EXPECT_TRUE(queue.IsIdle());
}

TEST_F(JobQueue, RemovingAQueuedJobReportsItDoneWithResult8)
{
    LatchedJob stranger(journal, "stranger");
    QueueAB();
    EXPECT_TRUE(queue.RemoveJob(&a));
    EXPECT_TRUE(queue.RemoveJob(&stranger)); // not queued: nothing
    EXPECT_EQ((std::vector<std::pair<std::string, long>>{{"a", 8}}), journal.done);
    EXPECT_EQ(CJobQueue::kStateWaiting, queue.GetState());
    EXPECT_TRUE(queue.RemoveJob(&b));
    EXPECT_EQ(CJobQueue::kStateIdle, queue.GetState());
    EXPECT_EQ(0, queue.GetJobCount());
    EXPECT_TRUE(journal.started.empty());
}

TEST_F(JobQueue, FindJobComparesTargetsCaseSensitively)
{
    LatchedJob upper(journal, "C:\\Out\\A.tif");
    LatchedJob lower(journal, "C:\\Out\\a.tif");
    queue.AddJob(&upper);
    queue.AddJob(&lower);
    EXPECT_EQ(&lower, queue.FindJob("C:\\Out\\a.tif"));
    EXPECT_EQ(&upper, queue.FindJob("C:\\Out\\A.tif"));
    EXPECT_EQ(nullptr, queue.FindJob("C:\\OUT\\A.TIF"));
    EXPECT_EQ(nullptr, queue.FindJob(nullptr));
}

TEST_F(JobQueue, ClearJobsReleasesFrontFirst)
{
    QueueAB();
    queue.ClearJobs();
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), journal.released);
    EXPECT_EQ(0, queue.GetJobCount());
    EXPECT_TRUE(queue.IsIdle());
}

TEST_F(JobQueue, CancelWithNoWorkerReportsEveryQueuedJobFailedAndReleasesIt)
{
    QueueAB();
    EXPECT_EQ(0, queue.Cancel());
    ASSERT_EQ(1u, journal.runs.size());
    EXPECT_TRUE(journal.runs[0].stopped);
    EXPECT_EQ(0, journal.runs[0].succeeded);
    EXPECT_EQ(2, journal.runs[0].failed);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), journal.released);
    EXPECT_TRUE(queue.IsIdle());
    EXPECT_FALSE(queue.IsPaused()); // not paused before, so resumed again
    EXPECT_EQ(0, queue.LiveContexts()) << "the state its pause parked went back";
    EXPECT_TRUE(journal.started.empty());
}

TEST_F(JobQueue, CancelOfAPausedQueueWithNoWorkerStaysPaused)
{
    queue.AddJob(&a);
    queue.Pause();
    EXPECT_EQ(0, queue.Cancel());
    EXPECT_TRUE(queue.IsPaused());
    EXPECT_EQ((std::vector<std::string>{"a"}), journal.released);
}

TEST_F(JobQueue, LoadAndSaveStepsClearTheAbortFirst)
{
    queue.Abort();
    queue.BeginLoadStep(&a);
    EXPECT_FALSE(queue.IsAborted());
    EXPECT_EQ(1, queue.loadsStarted.load());
    queue.Abort();
    queue.BeginSaveStep(&a);
    EXPECT_FALSE(queue.IsAborted());
    EXPECT_EQ(1, queue.savesStarted.load());
}

TEST_F(JobQueue, SaveProgressReachesTheQueueAsItsSink)
{
    // The save's progress state holds the queue through this interface.
    ITlSaveProgressSink& sink = queue;
    EXPECT_FALSE(sink.Progress(40, 100));
    EXPECT_EQ((std::vector<std::pair<long, long>>{{40, 100}}), queue.progress);
    queue.Abort();
    EXPECT_TRUE(sink.Progress(50, 100)); // aborted: answered at once
    EXPECT_EQ(1u, queue.progress.size());
    sink.Reset(0, 100);
    EXPECT_FALSE(queue.IsAborted());
    sink.SetEnabled(false);
    EXPECT_FALSE(queue.IsEnabled());
    sink.SetEnabled(true);
}

TEST_F(JobQueue, StartOnAnEmptyQueueDoesNothing)
{
    EXPECT_EQ(0, queue.Start());
    EXPECT_TRUE(queue.IsIdle());
    EXPECT_TRUE(journal.runs.empty());
}

TEST_F(JobQueue, PauseWithNothingRunningParksTheSaveStateAndStartResumes)
{
    EXPECT_EQ(0, queue.Pause());
    EXPECT_TRUE(queue.IsPaused());
    EXPECT_EQ(1, queue.LiveContexts());
    EXPECT_EQ(0, queue.Pause()); // already paused: no second context
    EXPECT_EQ(1, queue.LiveContexts());
    EXPECT_EQ(0, queue.Start());
    EXPECT_FALSE(queue.IsPaused());
    EXPECT_EQ(0, queue.LiveContexts());
}

TEST(JobQueueLife, DestroyingTheQueueDropsItsSaveContext)
{
    Journal journal;
    {
        RecordingQueue queue(journal);
        queue.Pause();
        EXPECT_EQ(1, queue.LiveContexts());
    }
    EXPECT_EQ(0, journal.liveContexts);
}

struct StartFailureCase {
    RecordingQueue::WorkerKind worker;
    int result;
};

class JobQueueStartFailure : public testing::TestWithParam<StartFailureCase> {};

TEST_P(JobQueueStartFailure, LeavesTheJobsWaitingForALaterStart)
{
    Journal journal;
    RecordingQueue queue(journal);
    OpenJob job(journal, "a");
    queue.AddJob(&job);
    queue.workerKind = GetParam().worker;
    EXPECT_EQ(GetParam().result, queue.Start());
    EXPECT_EQ(CJobQueue::kStateWaiting, queue.GetState());
    EXPECT_EQ(1, queue.GetJobCount());

    queue.workerKind = RecordingQueue::kRealWorker;
    EXPECT_EQ(0, queue.Start());
    journal.WaitForRuns(1);
    EXPECT_EQ((std::vector<std::string>{"a"}), journal.Started());
}

INSTANTIATE_TEST_SUITE_P(Failures, JobQueueStartFailure,
                         testing::Values(StartFailureCase{RecordingQueue::kNoMemory, 2},
                                         StartFailureCase{RecordingQueue::kNoThread, 1}));

// The only test of this program that uses the library's global queue: once
// destroyed, it is gone for the rest of the process.
Journal g_globalJournal;
std::atomic<int> g_factoryCalls{0};

CJobQueue* MakeGlobalQueue()
{
    ++g_factoryCalls;
    return new RecordingQueue(g_globalJournal);
}

TEST(GlobalJobQueue, IsMadeOnceAndGoneAfterUnload)
{
    SetJobQueueFactory(nullptr);
    EXPECT_EQ(nullptr, GetJobQueue());
    SetJobQueueFactory(&MakeGlobalQueue);

    CJobQueue* seen[2] = {};
    std::thread other([&] { seen[1] = GetJobQueue(); });
    seen[0] = GetJobQueue();
    other.join();
    ASSERT_NE(nullptr, seen[0]);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], GetJobQueue());
    EXPECT_EQ(1, g_factoryCalls.load());

    DestroyJobQueue();
    EXPECT_EQ(nullptr, GetJobQueue());
    EXPECT_EQ(1, g_factoryCalls.load());
}

} // namespace
