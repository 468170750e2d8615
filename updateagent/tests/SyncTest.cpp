#include "sync/TMultiLock.h"
#include "sync/TSyncObject.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {
// Long enough never to end a healthy test, short enough that a hang fails it.
const DWORD kHangLimitMs = 10000;

class TestMutex : public TSyncObject {
public:
    TestMutex() { SetHandle(CreateMutexW(nullptr, FALSE, nullptr)); }
    bool Signal() override { return ReleaseMutex(Handle()) != FALSE; }
};

struct LockJob {
    TMultiLock* lock;
    int result = -99;
};

DWORD WINAPI RunLock(LPVOID argument)
{
    auto* job = static_cast<LockJob*>(argument);
    job->result = job->lock->Lock(INFINITE);
    return 0;
}

HANDLE StartLock(LockJob& job)
{
    return CreateThread(nullptr, 0, RunLock, &job, 0, nullptr);
}

bool AwaitSubscribers(const TSyncObject& object, size_t count)
{
    const ULONGLONG deadline = GetTickCount64() + kHangLimitMs;
    while (object.SubscriberCount() < count) {
        if (GetTickCount64() > deadline)
            return false;
        SwitchToThread();
    }
    return true;
}

DWORD WINAPI HoldAndExit(LPVOID argument)
{
    WaitForSingleObject(static_cast<HANDLE>(argument), INFINITE);
    return 0;
}
}

TEST(TSyncObject, WaitMapsTheSystemsAnswers)
{
    TSyncSemaphore semaphore;
    EXPECT_EQ(semaphore.Wait(0), kWaitTimeout);
    EXPECT_TRUE(semaphore.Unlock());
    EXPECT_EQ(semaphore.Wait(0), kWaitSignalled);
    EXPECT_EQ(semaphore.Wait(0), kWaitTimeout) << "one unit only";

    TestMutex mutex;
    HANDLE owner = CreateThread(nullptr, 0, HoldAndExit, mutex.Handle(), 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(owner, kHangLimitMs), WAIT_OBJECT_0);
    CloseHandle(owner);
    EXPECT_EQ(mutex.Wait(0), kWaitAbandoned);
    EXPECT_TRUE(mutex.Signal());
}

TEST(TSyncObject, ObjectsWithoutAHandleAnswerZero)
{
    TCritSection section;
    EXPECT_EQ(section.Lock(0), kWaitNoHandle);
    EXPECT_FALSE(section.Unlock());
    EXPECT_EQ(section.Wait(0), kWaitSignalled) << "the section itself still works";
    EXPECT_TRUE(section.Signal());
}

TEST(TSyncEvent, StartsFreeAndHasOneHolder)
{
    TSyncEvent event;
    EXPECT_EQ(event.Lock(0), kWaitSignalled);
    EXPECT_EQ(event.Lock(0), kWaitTimeout);
    EXPECT_TRUE(event.Unlock());
    EXPECT_TRUE(event.Reset());
    EXPECT_EQ(event.Lock(0), kWaitTimeout);
}

TEST(TMultiLock, WaitAllBlocksUntilEverythingIsFreeThenHoldsAll)
{
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        TSyncSemaphore semaphore;
        TSyncEvent event;
        TSyncObject* const objects[] = {&semaphore, &event, nullptr};
        TMultiLock lock(true, objects);
        LockJob job{&lock};
        HANDLE thread = StartLock(job);
        if (round == 0) {
            ASSERT_TRUE(AwaitSubscribers(event, 1));
            EXPECT_EQ(WaitForSingleObject(thread, 50), static_cast<DWORD>(WAIT_TIMEOUT)) << "the semaphore is at 0";
        }
        semaphore.Unlock();
        ASSERT_EQ(WaitForSingleObject(thread, kHangLimitMs), WAIT_OBJECT_0);
        CloseHandle(thread);
        EXPECT_EQ(job.result, kWaitSignalled);
        EXPECT_EQ(semaphore.Wait(0), kWaitTimeout) << "the unit was taken";
        EXPECT_EQ(event.Wait(0), kWaitTimeout) << "the event is held";
        EXPECT_EQ(semaphore.SubscriberCount(), 0u);
        EXPECT_EQ(event.SubscriberCount(), 0u);
    }
}

TEST(TMultiLock, AGivenUpLockLeavesNothingTaken)
{
    TSyncSemaphore semaphore;
    TSyncEvent event;
    TSyncObject* const objects[] = {&semaphore, &event, nullptr};
    TMultiLock lock(true, objects);
    EXPECT_EQ(lock.Lock(0), kWaitTimeout);
    EXPECT_EQ(event.SubscriberCount(), 0u);
    EXPECT_EQ(event.Wait(0), kWaitSignalled) << "the event stayed free";
    semaphore.Unlock();
    EXPECT_EQ(semaphore.Wait(0), kWaitSignalled) << "a later unit is not taken by the given-up lock";
}

TEST(TMultiLock, WithoutObjectsItHoldsAtOnce)
{
    TSyncObject* const none[] = {nullptr};
    TMultiLock lock(true, none);
    EXPECT_EQ(lock.Lock(0), kWaitSignalled);
}

TEST(TMultiLock, AnyOneTakesOnlyTheFirstFreeObject)
{
    TSyncEvent first;
    TSyncEvent second;
    TSyncObject* const objects[] = {&first, &second, nullptr};
    TMultiLock lock(false, objects);
    EXPECT_EQ(lock.Lock(0), kWaitSignalled);
    EXPECT_EQ(first.Wait(0), kWaitTimeout) << "taken";
    EXPECT_EQ(second.Wait(0), kWaitSignalled) << "left free";
}

TEST(TMultiLock, AFreedObjectGoesToOneOfTwoWaiters)
{
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE(round);
        TSyncSemaphore semaphore;
        TSyncEvent event;
        ASSERT_EQ(event.Lock(0), kWaitSignalled) << "held while the waiters line up";
        TSyncObject* const objects[] = {&semaphore, &event, nullptr};
        TMultiLock first(true, objects);
        TMultiLock second(true, objects);
        LockJob firstJob{&first};
        LockJob secondJob{&second};
        HANDLE threads[] = {StartLock(firstJob), StartLock(secondJob)};
        ASSERT_TRUE(AwaitSubscribers(event, 2));
        ASSERT_TRUE(AwaitSubscribers(semaphore, 2));

        semaphore.Unlock();
        event.Unlock();
        const DWORD winner = WaitForMultipleObjects(2, threads, FALSE, kHangLimitMs) - WAIT_OBJECT_0;
        ASSERT_LT(winner, 2u);
        const DWORD loser = 1 - winner;
        TMultiLock& waiting = loser == 0 ? first : second;
        EXPECT_FALSE(waiting.SeenFree(0)) << "the semaphore went to the other lock";
        EXPECT_FALSE(waiting.SeenFree(1)) << "the event went to the other lock";
        EXPECT_EQ(WaitForSingleObject(threads[loser], 0), static_cast<DWORD>(WAIT_TIMEOUT));

        // The winner gives the set back; the other waiter then takes it.
        semaphore.Unlock();
        event.Unlock();
        ASSERT_EQ(WaitForSingleObject(threads[loser], kHangLimitMs), WAIT_OBJECT_0);
        EXPECT_EQ(firstJob.result, kWaitSignalled);
        EXPECT_EQ(secondJob.result, kWaitSignalled);
        CloseHandle(threads[0]);
        CloseHandle(threads[1]);
    }
}

namespace {
// Tells when a thread is about to wait for it outside the global lock.
class AnnouncingEvent : public TSyncEvent {
public:
    AnnouncingEvent() : waiting(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~AnnouncingEvent() override { CloseHandle(waiting); }
    int Wait(DWORD milliseconds) override
    {
        SetEvent(waiting);
        return TSyncEvent::Wait(milliseconds);
    }
    HANDLE waiting;
};

DWORD WINAPI TakeAndGiveBack(LPVOID argument)
{
    auto* event = static_cast<AnnouncingEvent*>(argument);
    if (event->Lock(INFINITE) != kWaitSignalled)
        return 1;
    event->Unlock();
    return 0;
}
}

TEST(TMultiLock, AThreadAlreadyWaitingMayWinTheObjectWithoutAHang)
{
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        TSyncSemaphore semaphore;
        AnnouncingEvent event;
        ASSERT_EQ(event.Lock(0), kWaitSignalled);
        TSyncObject* const objects[] = {&semaphore, &event, nullptr};
        TMultiLock lock(true, objects);
        LockJob job{&lock};
        HANDLE locker = StartLock(job);
        ASSERT_TRUE(AwaitSubscribers(event, 1));
        semaphore.Unlock();

        ResetEvent(event.waiting);
        HANDLE other = CreateThread(nullptr, 0, TakeAndGiveBack, &event, 0, nullptr);
        ASSERT_EQ(WaitForSingleObject(event.waiting, kHangLimitMs), WAIT_OBJECT_0);
        // Freed while the other thread waits for it: whoever gets it first,
        // the lock ends holding both.
        event.Unlock();
        ASSERT_EQ(WaitForSingleObject(locker, kHangLimitMs), WAIT_OBJECT_0);
        EXPECT_EQ(job.result, kWaitSignalled);
        EXPECT_EQ(semaphore.Wait(0), kWaitTimeout) << "the lock holds the unit";
        if (WaitForSingleObject(other, 0) == WAIT_TIMEOUT)
            event.Unlock();  // the lock won: its holder gives the event on
        ASSERT_EQ(WaitForSingleObject(other, kHangLimitMs), WAIT_OBJECT_0);
        DWORD code = 99;
        GetExitCodeThread(other, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(locker);
        CloseHandle(other);
    }
}
