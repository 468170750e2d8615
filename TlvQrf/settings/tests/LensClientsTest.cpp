// The client list of a lens information object: the manager hears of every
// change; without one the object deletes itself when its clients fall to
// the keep count.
#include "settings/lens/TlLensInformation.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class RecordingManager : public CTlLensInformation::IMgr {
public:
    void OnClientsChanged(CTlLensInformation* lens, int clientCount) override
    {
        // Told while the class lock is held: another thread could not enter.
        heldLock = heldLock && !LockFreeOnAnotherThread();
        calls.emplace_back(lens, clientCount);
    }

    std::vector<std::pair<CTlLensInformation*, int>> calls;
    bool heldLock = true;

private:
    static DWORD WINAPI TryLock(LPVOID result)
    {
        Tl::CSyncBase& lock = CTlLensInformation::GetClassLock();
        const bool entered = lock.TryEnter();
        if (entered)
            lock.Leave();
        *static_cast<bool*>(result) = entered;
        return 0;
    }
    static bool LockFreeOnAnotherThread()
    {
        bool entered = true;
        HANDLE thread = CreateThread(nullptr, 0, TryLock, &entered, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        return entered;
    }
};

// Tells the test when it is destroyed, so that self-deletion can be seen.
class WatchedLens : public CTlLensInformation {
public:
    explicit WatchedLens(bool* destroyed) : m_destroyed(destroyed) {}
    ~WatchedLens() override { *m_destroyed = true; }

private:
    bool* m_destroyed;
};

// Restores the process-wide keep count after each test.
class LensClientsTest : public ::testing::Test {
protected:
    LensClientsTest() : m_savedKeepCount(CTlLensInformation::GetKeepCount()) {}
    ~LensClientsTest() override { CTlLensInformation::SetKeepCount(m_savedKeepCount); }

    int a = 0, b = 0;

private:
    int m_savedKeepCount;
};

TEST_F(LensClientsTest, ManagerHearsEveryChangeWithTheNewCount)
{
    RecordingManager manager;
    CTlLensInformation lens;
    lens.SetClient(&manager);

    ASSERT_TRUE(lens.AddClient(&a));
    ASSERT_TRUE(lens.AddClient(&b));
    ASSERT_TRUE(lens.AddClient(&a));
    lens.RemoveClient(&a);
    lens.RemoveClient(&b);
    lens.RemoveClient(&a); // the last client: the manager decides, nothing is deleted

    const std::vector<std::pair<CTlLensInformation*, int>> expected = {
        {&lens, 1}, {&lens, 2}, {&lens, 3}, {&lens, 2}, {&lens, 1}, {&lens, 0}};
    EXPECT_EQ(expected, manager.calls);
    EXPECT_TRUE(manager.heldLock);
    EXPECT_EQ(0, lens.GetClientCount());
}

TEST_F(LensClientsTest, RemovingAnUnknownUserChangesNothing)
{
    RecordingManager manager;
    bool destroyed = false;
    auto* lens = new WatchedLens(&destroyed);
    lens->RemoveClient(&a); // no manager, no clients, keep count 0: still kept
    EXPECT_FALSE(destroyed);

    lens->SetClient(&manager);
    ASSERT_TRUE(lens->AddClient(&a));
    lens->RemoveClient(&b);
    EXPECT_EQ(1u, manager.calls.size());
    EXPECT_EQ(1, lens->GetClientCount());
    delete lens;
    EXPECT_TRUE(destroyed);
}

TEST_F(LensClientsTest, WithoutManagerTheLastClientDeletesTheObjectAtKeepCountZero)
{
    CTlLensInformation::SetKeepCount(0);
    bool destroyed = false;
    auto* lens = new WatchedLens(&destroyed);
    ASSERT_TRUE(lens->AddClient(&a));
    ASSERT_TRUE(lens->AddClient(&b));

    lens->RemoveClient(&b);
    EXPECT_FALSE(destroyed);
    lens->RemoveClient(&a);
    EXPECT_TRUE(destroyed);
}

TEST_F(LensClientsTest, KeepCountDecidesWhenAnObjectWithoutManagerGoes)
{
    struct Case {
        int keepCount;
        int clientsLeftWhenDeleted; // -1: never
    };
    for (const Case c : {Case{1, 1}, Case{2, 2}, Case{-1, -1}}) {
        SCOPED_TRACE(c.keepCount);
        CTlLensInformation::SetKeepCount(c.keepCount);
        bool destroyed = false;
        auto* lens = new WatchedLens(&destroyed);
        int users[3] = {};
        for (int& user : users)
            ASSERT_TRUE(lens->AddClient(&user));
        int left = 3;
        while (!destroyed && left > 0)
            lens->RemoveClient(&users[--left]);
        EXPECT_EQ(c.clientsLeftWhenDeleted, destroyed ? left : -1);
        if (!destroyed)
            delete lens;
    }
}

TEST_F(LensClientsTest, AManagerKeepsTheObjectWhateverTheKeepCount)
{
    CTlLensInformation::SetKeepCount(5);
    RecordingManager manager;
    bool destroyed = false;
    auto* lens = new WatchedLens(&destroyed);
    lens->SetClient(&manager);
    ASSERT_TRUE(lens->AddClient(&a));
    lens->RemoveClient(&a);
    EXPECT_FALSE(destroyed);
    delete lens;
}

TEST_F(LensClientsTest, ClassLockIsTheNamedProcessWideLock)
{
    EXPECT_STREQ("CTlLensInformation", CTlLensInformation::GetClassLock().GetName());
    EXPECT_EQ(&CTlLensInformation::GetClassLock(), &CTlLensInformation::GetClassLock());
}

} // namespace
