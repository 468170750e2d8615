// The engines' reference bookkeeping: tracked pointers, the count, the
// manager's notice and the engine's own deletion.
#include "filtrix/KelvraFilterCMLEngine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Reference = CKelvraFilterCMLEngine::CReference;

// Tells a flag when it is destroyed.
class WatchedEngine : public CKelvraFilterCMLEngine {
public:
    explicit WatchedEngine(bool* destroyed) : m_destroyed(destroyed) {}
    ~WatchedEngine() override { *m_destroyed = true; }

private:
    bool* m_destroyed;
};

// Records notices; can destroy the engine from inside one, as an engine
// manager with no room left for released engines does.
class RecordingManager : public CKelvraFilterCMLEngine::IMgr {
public:
    void OnReferencesReleased(CKelvraFilterCMLEngine* engine, long count) override
    {
        counts.push_back(count);
        if (destroyOnNotice)
            delete engine;
    }
    std::vector<long> counts;
    bool destroyOnNotice = false;
};

TEST(ColourEngineReferencesTest, TheCountIsTheNumberOfRegisteredPointers)
{
    CKelvraFilterCMLEngine engine, other;
    Reference first(&engine);
    EXPECT_EQ(1, engine.GetReferenceCount());
    {
        Reference copy(first);
        Reference assigned;
        assigned = first;
        EXPECT_EQ(3, engine.GetReferenceCount());
        assigned = &engine; // the same engine: nothing changes
        assigned = assigned;
        EXPECT_EQ(3, engine.GetReferenceCount());
        assigned = &other;
        EXPECT_EQ(2, engine.GetReferenceCount());
        EXPECT_EQ(1, other.GetReferenceCount());
        EXPECT_TRUE(assigned == &other);
    }
    EXPECT_EQ(1, engine.GetReferenceCount());
    EXPECT_EQ(0, other.GetReferenceCount());
    first.Release();
    EXPECT_FALSE(first);
    EXPECT_EQ(0, engine.GetReferenceCount());
}

TEST(ColourEngineReferencesTest, ADestroyedEngineEmptiesEveryPointerToIt)
{
    auto* engine = new CKelvraFilterCMLEngine;
    Reference first(engine), second(engine);
    delete engine;
    EXPECT_EQ(nullptr, first.Get());
    EXPECT_EQ(nullptr, second.Get());
    second.Release(); // nothing left to unregister from
}

TEST(ColourEngineReferencesTest, TheManagerHearsWhenTheCountFallsToTheThreshold)
{
    CKelvraFilterCMLEngine engine;
    RecordingManager manager;
    engine.SetManager(&manager);
    engine.SetAutoDeleteThreshold(1);
    EXPECT_EQ(&manager, engine.GetManager());
    EXPECT_EQ(1, engine.GetAutoDeleteThreshold());
    Reference own(&engine), user(&engine), second(&engine);
    second.Release(); // 2 left: above the threshold
    EXPECT_TRUE(manager.counts.empty());
    user.Release();
    EXPECT_EQ(std::vector<long>({1}), manager.counts);
    engine.SetAutoDeleteThreshold(-1); // as the manager does during its bookkeeping
    own.Release();
    EXPECT_EQ(std::vector<long>({1}), manager.counts);
}

TEST(ColourEngineReferencesTest, TheManagerMayDestroyTheEngineFromItsNotice)
{
    bool destroyed = false;
    auto* engine = new WatchedEngine(&destroyed);
    RecordingManager manager;
    manager.destroyOnNotice = true;
    engine->SetManager(&manager);
    engine->SetAutoDeleteThreshold(1);
    Reference own(engine), user(engine);
    user.Release();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(nullptr, own.Get());
}

TEST(ColourEngineReferencesTest, AnEngineWithoutManagerDeletesItselfAtItsThreshold)
{
    bool destroyed = false;
    auto* engine = new WatchedEngine(&destroyed);
    engine->SetAutoDeleteThreshold(0);
    Reference only(engine);
    only = nullptr;
    EXPECT_TRUE(destroyed);

    bool kept = false;
    WatchedEngine unlimited(&kept); // threshold -1: never
    Reference user(&unlimited);
    user.Release();
    EXPECT_FALSE(kept);
}

} // namespace
