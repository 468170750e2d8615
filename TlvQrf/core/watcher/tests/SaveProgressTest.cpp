// The save progress: the dust analysis' reports, the watched filter's phase
// notifications, and the global filter watcher's life.
#include "colour/TlColourEngineManager.h"
#include "frame/TlSaveProgress.h"
#include "watcher/TlFileSavingUtilities.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct RecordingSink : ITlSaveProgressSink {
    void Reset(long, long) override {}
    void Notify() override {}
    bool Progress(long position, long range) override
    {
        EXPECT_EQ(100, range);
        positions.push_back(position);
        return stop;
    }
    void SetEnabled(bool enabled) override { switches.push_back(enabled); }

    std::vector<long> positions;
    std::vector<bool> switches;
    bool stop = false;
};

IKelvraFilter* const kWatched = reinterpret_cast<IKelvraFilter*>(0x1000);
IKelvraFilter* const kOther = reinterpret_cast<IKelvraFilter*>(0x2000);

class SaveProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TlSaveProgressState state;
        state.sink = &m_sink;
        state.watchedFilter = kWatched;
        m_previous = ExchangeSaveProgressState(state);
    }
    void TearDown() override { ExchangeSaveProgressState(m_previous); }

    void SetWeights(int base, int first, int second, int third)
    {
        TlSaveProgressState state = GetSaveProgressState();
        state.base = base;
        state.weights[0] = first;
        state.weights[1] = second;
        state.weights[2] = third;
        ExchangeSaveProgressState(state);
    }

    RecordingSink m_sink;
    TlSaveProgressState m_previous;
};

TEST_F(SaveProgressTest, AReportWithinAStageUsesThatStagesWeight)
{
    struct Case {
        int kind;
        long expected; // percent 50 of the kind's weight, plus the base 10
    };
    SetWeights(10, 40, 20, 60);
    const Case cases[] = {{kTlStageSecondWeight, 20}, {kTlStageThirdWeight, 40}, {kTlStageFirstWeight, 30}, {7, 10}};
    for (const Case& c : cases)
        EXPECT_TRUE(OnSaveProgress(kTlReportWithinStage, 50, c.kind));
    std::vector<long> expected;
    for (const Case& c : cases)
        expected.push_back(c.expected);
    EXPECT_EQ(expected, m_sink.positions);

    m_sink.stop = true;
    EXPECT_FALSE(OnSaveProgress(kTlReportWithinStage, 50, kTlStageFirstWeight));
}

TEST_F(SaveProgressTest, AFinishedStageMovesItsWeightIntoTheBase)
{
    SetWeights(0, 20, 30, 40);
    EXPECT_TRUE(OnSaveProgress(kTlReportStageDone, 0, kTlStageSecondWeight));
    EXPECT_TRUE(OnSaveProgress(kTlReportStageDone, 0, 9)); // no such stage: nothing
    EXPECT_TRUE(OnSaveProgress(5, 0, kTlStageFirstWeight)); // no such report: nothing
    const TlSaveProgressState state = GetSaveProgressState();
    EXPECT_EQ(30, state.base);
    EXPECT_EQ(20, state.weights[0]);
    EXPECT_EQ(0, state.weights[1]);
    EXPECT_EQ(40, state.weights[2]);
    EXPECT_TRUE(m_sink.positions.empty());
}

TEST_F(SaveProgressTest, WithoutASinkReportsGoOn)
{
    TlSaveProgressState state = GetSaveProgressState();
    state.sink = nullptr;
    ExchangeSaveProgressState(state);
    EXPECT_TRUE(OnSaveProgress(kTlReportWithinStage, 50, kTlStageFirstWeight));
}

TEST_F(SaveProgressTest, FilterPhasesMapToTheThirdWeight)
{
    struct Case {
        std::uint32_t phase;
        std::int32_t step;
        std::int32_t total;
        long expected;
    };
    SetWeights(10, 20, 20, 20);
    const Case cases[] = {
        {0x4E6F726D, 5, 10, 12},  // "Norm": 0 + 25 x 5 / 10 = 12 percent of 20, plus 10
        {0x00526576, 10, 10, 30}, // "Rev" at its last step: percent 100
        {0x00526576, 0, 10, 15},  // starts at 25
        {0x41424344, 3, 4, 25},   // other phases span 0 to 100
    };
    CTlFileSavingUtilities watcher;
    for (const Case& c : cases) {
        TlFilterPhase phase{c.phase, c.step, c.total};
        EXPECT_EQ(0, watcher.OnNotify(kWatched, 1, &phase));
    }
    std::vector<long> expected;
    for (const Case& c : cases)
        expected.push_back(c.expected);
    EXPECT_EQ(expected, m_sink.positions);
}

TEST_F(SaveProgressTest, OnlyCodeOneFromTheWatchedFilterCounts)
{
    CTlFileSavingUtilities watcher;
    TlFilterPhase phase{0x4E6F726D, 5, 10};
    TlFilterPhase noTotal{0x4E6F726D, 5, 0};
    EXPECT_EQ(0, watcher.OnNotify(kOther, 1, &phase));
    EXPECT_EQ(0, watcher.OnNotify(kWatched, 2, &phase));
    EXPECT_EQ(0, watcher.OnNotify(kWatched, 1, nullptr));
    EXPECT_EQ(0, watcher.OnNotify(kWatched, 1, &noTotal));
    EXPECT_TRUE(m_sink.positions.empty());
    EXPECT_TRUE(m_sink.switches.empty());
}

TEST_F(SaveProgressTest, APhaseOfOneStepSwitchesTheSinkAndRevFinishesItsStage)
{
    SetWeights(10, 20, 20, 30);
    CTlFileSavingUtilities watcher;
    TlFilterPhase start{0x00526576, 0, 1};
    TlFilterPhase end{0x00526576, 1, 1};
    watcher.OnNotify(kWatched, 1, &start);
    watcher.OnNotify(kWatched, 1, &end);
    EXPECT_EQ((std::vector<bool>{false, true}), m_sink.switches);
    EXPECT_TRUE(m_sink.positions.empty());
    EXPECT_EQ(40, GetSaveProgressState().base);
    EXPECT_EQ(0, GetSaveProgressState().weights[2]);

    // Other phases of one step only switch.
    TlFilterPhase normEnd{0x4E6F726D, 1, 1};
    watcher.OnNotify(kWatched, 1, &normEnd);
    EXPECT_EQ(40, GetSaveProgressState().base);
}

TEST(FileSavingUtilitiesTest, OwnsTheEngineManagerAndCachesWhileItLives)
{
    EXPECT_EQ(nullptr, GetCurrentFileWatcher());
    {
        CTlFileSavingUtilities watcher;
        EXPECT_EQ(&watcher, GetCurrentFileWatcher());
        EXPECT_TRUE(IsColourManagerCreated());
        for (int which : {0, 1}) {
            ASSERT_NE(nullptr, watcher.GammaCache(which));
            EXPECT_EQ(0xFFFF, watcher.GammaCache(which)[0]);
        }
        EXPECT_EQ(nullptr, watcher.GammaCache(2));
        for (int i = 0; i < CTlFileSavingUtilities::kSharpeningSlots; ++i)
            EXPECT_EQ(nullptr, watcher.SharpeningSlots()[i]);
        for (int i = 0; i < CTlFileSavingUtilities::kColourFilterSlots; ++i) {
            EXPECT_EQ(nullptr, watcher.ColourFilterSlots()[i]);
            EXPECT_FALSE(watcher.ColourEngineReferences()[i]);
        }
        for (int i = 0; i < CTlFileSavingUtilities::kCacheWords; ++i)
            EXPECT_EQ(0u, watcher.CacheWords()[i]);
    }
    EXPECT_EQ(nullptr, GetCurrentFileWatcher());
    EXPECT_FALSE(IsColourManagerCreated());
}

} // namespace
