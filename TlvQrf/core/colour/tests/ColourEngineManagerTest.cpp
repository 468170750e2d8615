// The colour-engine manager with real engines on the synthetic profiles:
// sharing, the released queue and its limit, reuse, failures and the
// notices of engines whose users are gone.
#include "colour/TlColourEngineManager.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Reference = CCMLEngMgr::CReference;

struct Pair {
    std::string source;
    std::string destination;
};

class ColourEngineManagerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new TempFolder;
        ASSERT_EQ(nullptr, TlWriteProfiles(s_folder->Path().c_str()));
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }

    static std::string Profile(const char* name) { return s_folder->File(name); }
    static Pair MakePair(const char* source, const char* destination) { return {Profile(source), Profile(destination)}; }
    // Five different pairs.
    static std::vector<Pair> FivePairs()
    {
        return {MakePair("TLsRGB.icm", "TLAdobe.icm"), MakePair("TLsRGB.icm", "TLNTSC.icm"),
                MakePair("TLAdobe.icm", "TLsRGB.icm"), MakePair("TLNTSC.icm", "TLsRGB.icm"),
                MakePair("TLAdobe.icm", "TLNTSC.icm")};
    }

    CKelvraFilterCMLEngine* Request(const Pair& pair, Reference& ref)
    {
        IKelvraError* error = m_manager.GetEngine(pair.source.c_str(), pair.destination.c_str(), ref);
        EXPECT_EQ(nullptr, error);
        IKelvraError::Release(error);
        return ref.Get();
    }

    static std::string SourceOf(CKelvraFilterCMLEngine* engine)
    {
        KelvraFile source;
        IKelvraError::Release(engine->GetProfiles(&source, nullptr, nullptr));
        return source.path;
    }

    static TempFolder* s_folder;
    CCMLEngMgr m_manager;
};

TempFolder* ColourEngineManagerTest::s_folder = nullptr;

TEST_F(ColourEngineManagerTest, UsersOfOnePairShareOneEngineSetUpForIt)
{
    const Pair pair = MakePair("TLsRGB.icm", "TLAdobe.icm");
    Reference first, second;
    CKelvraFilterCMLEngine* engine = Request(pair, first);
    ASSERT_NE(nullptr, engine);
    EXPECT_EQ(engine, Request(pair, second));
    EXPECT_EQ(1u, m_manager.GetEngineCount());
    EXPECT_EQ(3, engine->GetReferenceCount()); // the manager's own and two users
    EXPECT_EQ(&m_manager, engine->GetManager());
    EXPECT_EQ(1, engine->GetAutoDeleteThreshold());
    EXPECT_TRUE(engine->GetProofMode());
    EXPECT_EQ(0, engine->GetRenderingIntent());

    KelvraFile source, destination, proof;
    ASSERT_EQ(nullptr, engine->GetProfiles(&source, &destination, &proof));
    EXPECT_EQ(pair.source, source.path);
    EXPECT_EQ(pair.destination, destination.path);
    EXPECT_EQ(pair.destination, proof.path);
}

TEST_F(ColourEngineManagerTest, AnEngineWaitsInTheQueueOnlyOnceItsLastUserIsGone)
{
    const Pair pair = MakePair("TLsRGB.icm", "TLAdobe.icm");
    Reference first, second;
    Request(pair, first);
    Request(pair, second);
    first.Release();
    EXPECT_EQ(0u, m_manager.GetReleasedCount());
    second.Release();
    EXPECT_EQ(1u, m_manager.GetReleasedCount());
    EXPECT_EQ(1u, m_manager.GetEngineCount());
}

TEST_F(ColourEngineManagerTest, TheFifthReleaseDestroysTheFirstReleased)
{
    const std::vector<Pair> pairs = FivePairs();
    std::vector<Reference> refs(pairs.size());
    std::vector<CKelvraFilterCMLEngine*> engines;
    for (std::size_t i = 0; i < pairs.size(); ++i)
        engines.push_back(Request(pairs[i], refs[i]));

    for (std::size_t i = 0; i < 4; ++i)
        refs[i].Release();
    EXPECT_EQ(4u, m_manager.GetReleasedCount());
    EXPECT_EQ(5u, m_manager.GetEngineCount());

    refs[4].Release();
    EXPECT_EQ(4u, m_manager.GetReleasedCount());
    EXPECT_EQ(4u, m_manager.GetEngineCount());

    // The second pair still waits: it comes back as it was, not set up again.
    const unsigned long generation = engines[1]->GetGeneration();
    Reference again;
    EXPECT_EQ(engines[1], Request(pairs[1], again));
    EXPECT_EQ(generation, engines[1]->GetGeneration());
    EXPECT_EQ(3u, m_manager.GetReleasedCount());
    EXPECT_EQ(4u, m_manager.GetEngineCount());
}

TEST_F(ColourEngineManagerTest, ANewPairReusesTheLeastRecentlyReleasedEngine)
{
    const std::vector<Pair> pairs = FivePairs();
    Reference a, b;
    CKelvraFilterCMLEngine* oldest = Request(pairs[0], a);
    Request(pairs[1], b);
    a.Release();
    b.Release();

    Reference fresh;
    EXPECT_EQ(oldest, Request(pairs[2], fresh)); // set up again for the new pair
    EXPECT_EQ(pairs[2].source, SourceOf(oldest));
    EXPECT_EQ(2u, m_manager.GetEngineCount());
    EXPECT_EQ(1u, m_manager.GetReleasedCount());

    // The first pair is gone from the cache: asking again makes it anew.
    Reference back;
    Request(pairs[0], back);
    EXPECT_EQ(pairs[0].source, SourceOf(back.Get()));
}

TEST_F(ColourEngineManagerTest, KeysArePathsByteForByte)
{
    Reference lower, upper, marked, plain;
    std::string shouted = Profile("TLsRGB.icm");
    shouted.replace(shouted.size() - 10, 10, "TLSRGB.ICM");
    CKelvraFilterCMLEngine* first = Request(MakePair("TLsRGB.icm", "TLAdobe.icm"), lower);
    CKelvraFilterCMLEngine* second = Request(Pair{shouted, Profile("TLAdobe.icm")}, upper);
    EXPECT_NE(first, second);
    EXPECT_EQ(2u, m_manager.GetEngineCount());

    // "%_" before a file name: the engine proofs through the name without it,
    // the key keeps the whole name.
    const std::string markedPath = s_folder->Write("%_TLAdobe.icm", TempFolder::Read(Profile("TLAdobe.icm")));
    CKelvraFilterCMLEngine* withMark = Request(Pair{Profile("TLsRGB.icm"), markedPath}, marked);
    ASSERT_NE(nullptr, withMark);
    EXPECT_NE(first, withMark);
    KelvraFile destination, proof;
    ASSERT_EQ(nullptr, withMark->GetProfiles(nullptr, &destination, &proof));
    EXPECT_EQ(markedPath, destination.path);
    EXPECT_EQ(Profile("TLAdobe.icm"), proof.path);
}

TEST_F(ColourEngineManagerTest, AFailedSetUpLeavesNoEntryAndAnEmptyReference)
{
    Reference ref, failed;
    Request(MakePair("TLsRGB.icm", "TLAdobe.icm"), ref);
    Request(MakePair("TLsRGB.icm", "TLNTSC.icm"), failed);
    ref.Release(); // the oldest waiting engine: reused by the next new pair
    // The request below first leaves the engine `failed` holds.
    IKelvraError* error = m_manager.GetEngine(Profile("TLsRGB.icm").c_str(), Profile("Missing.icm").c_str(), failed);
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(kTlEngineManagerTag, error->GetTag());
    EXPECT_EQ(101, error->GetLine());
    ASSERT_NE(nullptr, error->GetInner());
    EXPECT_EQ(158, error->GetInner()->GetLine());
    ASSERT_NE(nullptr, error->GetInner()->GetInner());
    EXPECT_EQ(kTlEngineManagerTag, error->GetInner()->GetInner()->GetTag());
    EXPECT_EQ(184, error->GetInner()->GetInner()->GetLine());
    IKelvraError::Release(error);

    EXPECT_FALSE(failed);
    // The reused engine was destroyed with the failure; the left one waits.
    EXPECT_EQ(1u, m_manager.GetEngineCount());
    EXPECT_EQ(1u, m_manager.GetReleasedCount());
}

TEST_F(ColourEngineManagerTest, WithoutRoomAReleasedEngineIsDestroyedAtOnce)
{
    m_manager.SetCacheLimit(0);
    Reference ref;
    Request(MakePair("TLsRGB.icm", "TLAdobe.icm"), ref);
    ref.Release();
    EXPECT_EQ(0u, m_manager.GetEngineCount());
    EXPECT_EQ(0u, m_manager.GetReleasedCount());
}

TEST_F(ColourEngineManagerTest, ALowerLimitTrimsTheOldestWaitingEngines)
{
    const std::vector<Pair> pairs = FivePairs();
    std::vector<Reference> refs(4);
    std::vector<CKelvraFilterCMLEngine*> engines;
    for (std::size_t i = 0; i < refs.size(); ++i)
        engines.push_back(Request(pairs[i], refs[i]));
    for (Reference& ref : refs)
        ref.Release();

    m_manager.SetCacheLimit(2);
    EXPECT_EQ(1u, m_manager.GetReleasedCount()); // fewer than the limit stay
    // The most recently released one is kept.
    Reference back;
    EXPECT_EQ(engines[3], Request(pairs[3], back));
}

TEST_F(ColourEngineManagerTest, AnEngineDestroyedBehindTheManagersBackIsRebuilt)
{
    const Pair pair = MakePair("TLsRGB.icm", "TLAdobe.icm");
    Reference ref;
    delete Request(pair, ref);
    EXPECT_FALSE(ref);

    Reference again;
    CKelvraFilterCMLEngine* rebuilt = Request(pair, again);
    ASSERT_NE(nullptr, rebuilt);
    EXPECT_EQ(2, rebuilt->GetReferenceCount());
    EXPECT_EQ(1u, m_manager.GetEngineCount());
}

TEST_F(ColourEngineManagerTest, ThreadsAskingAndLeavingAtOnceKeepTheCacheWhole)
{
    const std::vector<Pair> pairs = FivePairs();
    auto work = [&](std::size_t offset) {
        Reference ref;
        for (int round = 0; round < 60; ++round) {
            const Pair& pair = pairs[(offset + std::size_t(round)) % pairs.size()];
            IKelvraError* error = m_manager.GetEngine(pair.source.c_str(), pair.destination.c_str(), ref);
            EXPECT_EQ(nullptr, error);
            IKelvraError::Release(error);
            if (ref) {
                EXPECT_EQ(pair.source, SourceOf(ref.Get()));
            }
            if (round % 3 == 0)
                ref.Release();
        }
    };
    std::thread host(work, 0);
    std::thread worker(work, 2);
    host.join();
    worker.join();

    EXPECT_LE(m_manager.GetReleasedCount(), 4u);
    EXPECT_EQ(m_manager.GetEngineCount(), m_manager.GetReleasedCount());
}

TEST_F(ColourEngineManagerTest, DestroyingTheManagerEmptiesItsUsersReferences)
{
    auto manager = std::make_unique<CCMLEngMgr>();
    Reference ref;
    const Pair pair = MakePair("TLsRGB.icm", "TLAdobe.icm");
    IKelvraError* error = manager->GetEngine(pair.source.c_str(), pair.destination.c_str(), ref);
    ASSERT_EQ(nullptr, error);
    manager.reset();
    EXPECT_FALSE(ref);
}

} // namespace
