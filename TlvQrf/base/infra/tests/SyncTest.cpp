#include "infra/TlSync.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

namespace {

const int kAlwaysFails = INT_MAX;

// A lock that records the calls the retry algorithm makes of it. Its first
// `failingTries` non-blocking attempts fail.
class RecordingLock : public Tl::CSyncBase {
public:
    RecordingLock(int retryCount, DWORD processorCount, int failingTries = kAlwaysFails)
        : CSyncBase("recording", retryCount, processorCount), m_failingTries(failingTries)
    {
    }
    bool Init() override { return true; }
    void Delete() override {}
    bool TryEnter() override { return ++tries > m_failingTries; }
    bool Enter() override
    {
        ++enters;
        return true;
    }
    void Leave() override { ++leaves; }
    using CSyncBase::SetError;

    int tries = 0;
    int enters = 0;
    int leaves = 0;

private:
    int m_failingTries;
};

struct RetryCountCase {
    int asked;
    DWORD processors;
    int expected;
};

void PrintTo(const RetryCountCase& c, std::ostream* os)
{
    *os << "asked " << c.asked << " on " << c.processors << " processors";
}

class SyncRetryCount : public testing::TestWithParam<RetryCountCase> {};

TEST_P(SyncRetryCount, FollowsTheProcessorCount)
{
    RecordingLock lock(GetParam().asked, GetParam().processors);
    EXPECT_EQ(GetParam().expected, lock.GetRetryCount());
}

INSTANTIATE_TEST_SUITE_P(Machines, SyncRetryCount,
                         testing::Values(RetryCountCase{-1, 2, 1000}, RetryCountCase{-7, 8, 1000},
                                         RetryCountCase{-1, 1, 0}, RetryCountCase{5, 1, 0},
                                         RetryCountCase{5, 4, 5}, RetryCountCase{0, 2, 0}));

TEST(SyncRetryCount, SystemLockAsksForTheDefaultCount)
{
    Tl::CSyncCritical lock;
    ASSERT_GE(Tl::CSyncBase::GetProcessorCount(), 1u);
    EXPECT_EQ(Tl::CSyncBase::GetProcessorCount() == 1 ? 0 : 1000, lock.GetRetryCount());
}

struct LockCase {
    int retryCount;
    int failingTries;
    int countArgument;
    int expectedTries;
    int expectedEnters;
};

void PrintTo(const LockCase& c, std::ostream* os)
{
    *os << "retry " << c.retryCount << " failing " << c.failingTries << " count " << c.countArgument;
}

class SyncLockAlgorithm : public testing::TestWithParam<LockCase> {};

TEST_P(SyncLockAlgorithm, TriesThenBlocks)
{
    const LockCase& c = GetParam();
    RecordingLock lock(c.retryCount, 2, c.failingTries);
    EXPECT_TRUE(lock.Lock(c.countArgument));
    EXPECT_EQ(c.expectedTries, lock.tries);
    EXPECT_EQ(c.expectedEnters, lock.enters);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SyncLockAlgorithm,
    testing::Values(LockCase{1000, kAlwaysFails, -1, 1000, 1}, // every attempt fails: then it blocks
                    LockCase{1000, 2, -1, 3, 0},               // stops at the first success
                    LockCase{0, kAlwaysFails, -1, 0, 1},       // no attempts: blocks at once
                    LockCase{1000, kAlwaysFails, 3, 3, 1},     // an explicit count wins
                    LockCase{1000, kAlwaysFails, 0, 0, 1}));

TEST(SyncLockAlgorithm, ErrorWordRefusesWithoutTouchingTheLock)
{
    RecordingLock lock(1000, 2);
    lock.SetError(ERROR_INVALID_HANDLE);
    EXPECT_FALSE(lock.Lock());
    {
        Tl::CSyncLock guard(lock);
        EXPECT_FALSE(guard.IsLocked());
    }
    EXPECT_EQ(0, lock.tries + lock.enters + lock.leaves);
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), lock.GetError());
}

TEST(SyncGuard, EntersWithRetriesAndLeavesOnce)
{
    RecordingLock lock(1000, 2, 4);
    {
        Tl::CSyncLock guard(&lock);
        EXPECT_TRUE(guard.IsLocked());
        EXPECT_EQ(5, lock.tries);
        EXPECT_EQ(0, lock.leaves);
    }
    EXPECT_EQ(1, lock.leaves);
}

TEST(SyncGuard, NullLockIsNotLocked)
{
    Tl::CSyncLock guard(static_cast<Tl::CSyncBase*>(nullptr));
    EXPECT_FALSE(guard.IsLocked());
}

TEST(SyncName, NullNameIsEmptyAndAGivenNameIsKept)
{
    EXPECT_STREQ("", Tl::CSyncCritical(nullptr, -1).GetName());
    EXPECT_STREQ("CTlLensInformation", Tl::CSyncCritical("CTlLensInformation", -1).GetName());
}

// ---- The critical-section lock with a chosen try-enter function.

int g_refusals = 0;

BOOL WINAPI RefusingTryEnter(LPCRITICAL_SECTION)
{
    ++g_refusals;
    return FALSE;
}

class SeamCritical : public Tl::CSyncCritical {
public:
    explicit SeamCritical(TryEnterFunction tryEnter) : CSyncCritical("seam", -1, 2, tryEnter) {}
    bool TryEnter() override
    {
        ++tries;
        return CSyncCritical::TryEnter();
    }
    int tries = 0;
};

TEST(SyncCritical, WithoutTryEnterFunctionTheFirstAttemptEnters)
{
    SeamCritical lock(nullptr);
    ASSERT_EQ(1000, lock.GetRetryCount());
    EXPECT_TRUE(lock.Lock());
    EXPECT_EQ(1, lock.tries);
    lock.Leave();
}

TEST(SyncCritical, RefusedAttemptsEndInABlockingEnter)
{
    g_refusals = 0;
    SeamCritical lock(RefusingTryEnter);
    EXPECT_TRUE(lock.Lock());
    EXPECT_EQ(1000, g_refusals);
    lock.Leave();
}

TEST(SyncCritical, DeletedLockRefusesEntryAndDeletesOnce)
{
    Tl::CSyncCritical lock("deleted", -1);
    lock.Delete();
    EXPECT_FALSE(lock.Enter());
    EXPECT_FALSE(lock.TryEnter());
    EXPECT_TRUE(lock.Init()); // usable again
    EXPECT_TRUE(lock.Enter());
    lock.Leave();
}

// ---- Threads against the real critical section.

struct TryEnterCall {
    Tl::CSyncBase* lock;
    bool entered;
};

DWORD WINAPI TryEnterAndLeave(LPVOID parameter)
{
    auto* call = static_cast<TryEnterCall*>(parameter);
    call->entered = call->lock->TryEnter();
    if (call->entered)
        call->lock->Leave();
    return 0;
}

// Runs `function` on a new thread and waits for it; false when it cannot be
// started or has not ended after a generous time (a blocked thread).
bool RunOnThread(LPTHREAD_START_ROUTINE function, void* parameter)
{
    HANDLE thread = CreateThread(nullptr, 0, function, parameter, 0, nullptr);
    if (!thread)
        return false;
    const bool ended = WaitForSingleObject(thread, 30000) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

bool OtherThreadCanEnter(Tl::CSyncBase& lock)
{
    TryEnterCall call{&lock, false};
    return RunOnThread(TryEnterAndLeave, &call) && call.entered;
}

TEST(SyncCritical, TryEnterDoesNotBlockWhileAnotherThreadHoldsTheLock)
{
    Tl::CSyncCritical lock("held", -1);
    ASSERT_TRUE(lock.Enter());
    EXPECT_FALSE(OtherThreadCanEnter(lock));
    lock.Leave();
    EXPECT_TRUE(OtherThreadCanEnter(lock));
}

TEST(SyncCritical, OwningThreadEntersRecursively)
{
    Tl::CSyncCritical lock("recursive", -1);
    ASSERT_TRUE(lock.Lock());
    ASSERT_TRUE(lock.Lock());
    lock.Leave();
    EXPECT_FALSE(OtherThreadCanEnter(lock)); // still held once
    lock.Leave();
    EXPECT_TRUE(OtherThreadCanEnter(lock));
}

const int kIncrementsPerThread = 100000;

struct SharedCounter {
    Tl::CSyncCritical lock{"counter", -1};
    long value = 0;
};

DWORD WINAPI IncrementUnderLock(LPVOID parameter)
{
    auto* shared = static_cast<SharedCounter*>(parameter);
    for (int i = 0; i < kIncrementsPerThread; ++i) {
        Tl::CSyncLock guard(shared->lock);
        shared->value = shared->value + 1;
    }
    return 0;
}

TEST(SyncCritical, TwoThreadsCountingUnderTheLockLoseNothing)
{
    SharedCounter shared;
    HANDLE threads[2];
    for (HANDLE& thread : threads) {
        thread = CreateThread(nullptr, 0, IncrementUnderLock, &shared, 0, nullptr);
        ASSERT_NE(nullptr, thread);
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, threads, TRUE, INFINITE));
    for (HANDLE thread : threads)
        CloseHandle(thread);
    EXPECT_EQ(2L * kIncrementsPerThread, shared.value);
}

} // namespace
