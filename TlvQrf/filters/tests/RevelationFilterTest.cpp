// The Revelation filter on real pixels: what its two engine passes write
// into its cache image or a run's own image, which pass a change makes run
// again, the progress records its watchers see, and how a cancelled or
// failing pass leaves the filter disabled.
#include "RevelationTestSupport.h"

#include "filters/revelation/TlRevelationFilter.h"

using namespace pixel_test;
using namespace revelation_test;

namespace {

using RevelationRig = FilterRig<CRevelationFilter>;
constexpr std::uint32_t kNorm = CRevelationFilter::kStatisticsPhase;
constexpr std::uint32_t kRev = CRevelationFilter::kRenderPhase;

long DepthOf(KelvraPixelFormat format)
{
    return KelvraIs16Bit(format) ? 16 : 8;
}

// What the engine makes of `source` when driven by hand.
std::vector<unsigned> EngineOutput(IKelvraManager* manager, IKelvraDataSource* source, long p0, long p1, long p2,
                                   long bits)
{
    IKelvraImage* destination = MakeBlankImage(manager, 1, 1, kKelvraGrey8);
    CWarpkitEngine engine(manager, true);
    ExpectOk(RunBothPasses(engine, source, destination, p0, p1, p2, bits), "engine by hand");
    std::vector<unsigned> samples = ReadAllSamples(destination);
    destination->Release();
    return samples;
}

struct Watched {
    explicit Watched(CRevelationFilter& f) : filter(f) { ExpectOk(filter.AddWatcher(&log)); }
    ~Watched() { IKelvraError::Release(filter.RemoveWatcher(&log)); }
    // The records of the two passes, in order.
    std::vector<ProgressRecord> PassRecords() const
    {
        std::vector<ProgressRecord> kept;
        for (const ProgressRecord& r : log.records)
            if (r.phase == kNorm || r.phase == kRev)
                kept.push_back(r);
        return kept;
    }
    CRevelationFilter& filter;
    ProgressLog log;
};

TEST(RevelationFilterTest, UpdateWritesTheEngineOutputIntoTheCacheAndTilesShowIt)
{
    FaultScope faults;
    for (KelvraPixelFormat format : {kKelvraRGB16, kKelvraGrey16, kKelvraRGB8}) {
        SCOPED_TRACE(format);
        ManagerHolder holder;
        RevelationRig rig(MakePatternImage(holder.manager, 150, 90, format), holder);
        ExpectOk(rig.filter.SetDataFormat(11, DepthOf(format), false, false));
        ExpectOk(rig.filter.SetParameters(90, 190, 70, false));
        ExpectOk(rig.filter.UpdateStatistics(nullptr));
        EXPECT_FALSE(rig.filter.IsStale());
        const std::vector<unsigned> expected = EngineOutput(holder.manager, rig.image, 90, 190, 70, DepthOf(format));
        ASSERT_NE(nullptr, rig.filter.GetCacheImage());
        EXPECT_EQ(expected, ReadAllSamples(rig.filter.GetCacheImage()));
        EXPECT_NE(ReadAllSamples(rig.image), expected);
        EXPECT_EQ(expected, rig.Output());
    }
}

TEST(RevelationFilterTest, AProcessRunKeepsItsOwnPassesAndGivesTheSamePixels)
{
    FaultScope faults;
    ManagerHolder holder;
    RevelationRig rig(MakePatternImage(holder.manager, 130, 100, kKelvraRGB16), holder);
    ExpectOk(rig.filter.SetParameters(120, 170, 40, false));
    IKelvraImage* destination = MakeBlankImage(holder.manager, 1, 1, kKelvraGrey8);
    RunProcess(rig.filter, rig.image, destination);
    const std::vector<unsigned> expected = EngineOutput(holder.manager, rig.image, 120, 170, 40, 16);
    EXPECT_EQ(expected, ReadAllSamples(destination));
    EXPECT_TRUE(rig.filter.IsStatisticsStale()); // the run's passes were the run's
    EXPECT_TRUE(rig.filter.IsRenderStale());
    EXPECT_EQ(nullptr, rig.filter.GetCacheImage());
    ExpectOk(rig.filter.UpdateStatistics(nullptr));
    EXPECT_EQ(expected, rig.Output());
    // A second run after the preview's update runs its own passes again.
    FaultScope::TakePassLog();
    RunProcess(rig.filter, rig.image, destination);
    EXPECT_EQ(expected, ReadAllSamples(destination));
    EXPECT_EQ(4u, FaultScope::TakePassLog().size());
    destination->Release();
}

// Tiles pulled on several threads from a stale filter: the first runs the
// passes once while the others wait, and every thread sees the same picture.
TEST(RevelationFilterTest, TilesPulledOnSeveralThreadsShareOneUpdate)
{
    FaultScope faults;
    ManagerHolder holder;
    RevelationRig rig(MakePatternImage(holder.manager, 330, 250, kKelvraRGB16), holder);
    const std::vector<unsigned> expected = EngineOutput(holder.manager, rig.image, 127, 190, 127, 16);
    FaultScope::TakePassLog();
    std::vector<std::vector<unsigned>> seen(6);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < seen.size(); ++t) {
        threads.emplace_back([&, t] {
            while (!go.load()) {
            }
            seen[t] = ReadAllSamples(&rig.filter);
        });
    }
    go.store(true);
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t t = 0; t < seen.size(); ++t)
        EXPECT_EQ(expected, seen[t]) << "thread " << t;
    EXPECT_EQ(4u, FaultScope::TakePassLog().size()); // two passes, each started and ended, once
}

TEST(RevelationFilterTest, ZeroStrengthsGiveTheInputBack)
{
    FaultScope faults;
    for (KelvraPixelFormat format : {kKelvraRGB16, kKelvraGrey16, kKelvraRGB8, kKelvraGrey8}) {
        SCOPED_TRACE(format);
        ManagerHolder holder;
        RevelationRig rig(MakePatternImage(holder.manager, 140, 75, format), holder);
        ExpectOk(rig.filter.SetDataFormat(11, DepthOf(format), false, false));
        ExpectOk(rig.filter.SetParameters(0, 190, 0, false));
        EXPECT_EQ(ReadAllSamples(rig.image), rig.Output());
    }
}

TEST(RevelationFilterTest, CheckCacheStalesRenderingAndWithoutACacheBothPasses)
{
    FaultScope faults;
    ManagerHolder holder;
    RevelationRig rig(MakePatternImage(holder.manager, 60, 40, kKelvraRGB16), holder);
    ExpectOk(rig.filter.CheckCache());
    EXPECT_NE(nullptr, rig.filter.GetCacheImage());
    EXPECT_TRUE(rig.filter.IsStatisticsStale());
    ExpectOk(rig.filter.UpdateStatistics(nullptr));
    ExpectOk(rig.filter.CheckCache()); // nothing changed
    EXPECT_FALSE(rig.filter.IsStale());
    ExpectOk(rig.filter.Enable(false, false)); // the frame's stale flag
    ExpectOk(rig.filter.Enable(true, false));
    ExpectOk(rig.filter.CheckCache());
    EXPECT_FALSE(rig.filter.IsStatisticsStale());
    EXPECT_TRUE(rig.filter.IsRenderStale());
}

TEST(RevelationFilterTest, WatchersSeeTheStatisticsThenTheRenderingRecordsRising)
{
    FaultScope faults;
    ManagerHolder holder;
    RevelationRig rig(MakePatternImage(holder.manager, 300, 200, kKelvraRGB16), holder);
    Watched watched(rig.filter);
    ExpectOk(rig.filter.UpdateStatistics(nullptr));
    const std::vector<ProgressRecord> records = watched.PassRecords();
    ASSERT_GE(records.size(), 6u);
    std::size_t firstRev = 0;
    while (firstRev < records.size() && records[firstRev].phase == kNorm)
        ++firstRev;
    ASSERT_LT(firstRev, records.size());
    for (std::size_t i = firstRev; i < records.size(); ++i)
        EXPECT_EQ(kRev, records[i].phase) << i;
    for (auto range : {std::make_pair(std::size_t(0), firstRev), std::make_pair(firstRev, records.size())}) {
        const ProgressRecord& start = records[range.first];
        const ProgressRecord& end = records[range.second - 1];
        EXPECT_EQ(0, start.current);
        EXPECT_EQ(1, start.total);
        EXPECT_EQ(1, end.current);
        EXPECT_EQ(1, end.total);
        std::int32_t last = 0;
        for (std::size_t i = range.first + 1; i + 1 < range.second; ++i) {
            EXPECT_EQ(100, records[i].total);
            EXPECT_GE(records[i].current, last);
            last = records[i].current;
        }
        EXPECT_EQ(100, last);
    }
}

TEST(RevelationFilterTest, AChangeOfParametersRendersAgainWithoutMeasuring)
{
    FaultScope faults;
    ManagerHolder holder;
    RevelationRig rig(MakePatternImage(holder.manager, 100, 80, kKelvraRGB16), holder);
    ExpectOk(rig.filter.UpdateStatistics(nullptr));
    Watched watched(rig.filter);
    ExpectOk(rig.filter.SetParameters(30, 190, 127, true));
    EXPECT_FALSE(rig.filter.IsStatisticsStale());
    ExpectOk(rig.filter.UpdateStatistics(nullptr));
    for (const ProgressRecord& r : watched.PassRecords())
        EXPECT_EQ(kRev, r.phase);
    EXPECT_EQ(EngineOutput(holder.manager, rig.image, 30, 190, 127, 16), rig.Output());
    ExpectOk(rig.filter.SetDataFormat(11, 12, false, true)); // a new format measures again
    watched.log.records.clear();
    ExpectOk(rig.filter.UpdateStatistics(nullptr));
    ASSERT_FALSE(watched.PassRecords().empty());
    EXPECT_EQ(kNorm, watched.PassRecords().front().phase);
}

TEST(RevelationFilterTest, ACancelledOrFailedPassDisablesTheFilterWithNotice)
{
    const struct {
        const char* name;
        std::uint32_t cancelPhase;
        std::int32_t cancelAt;
        WKITCall failing;
        bool failed;
    } cases[] = {
        {"cancelled before measuring", kNorm, 0, kWKITCallCount, false},
        {"cancelled while measuring", kNorm, 1, kWKITCallCount, false},
        {"cancelled before rendering", kRev, 0, kWKITCallCount, false},
        {"cancelled while rendering", kRev, 1, kWKITCallCount, false},
        {"the measuring fails", 0, 0, kWKITCallBegin, true},
        {"the rendering fails", 0, 0, kWKITCallEnd, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FaultScope faults;
        ManagerHolder holder;
        RevelationRig rig(MakePatternImage(holder.manager, 200, 300, kKelvraRGB16), holder);
        Watched watched(rig.filter);
        watched.log.cancelPhase = c.cancelPhase;
        watched.log.cancelAt = c.cancelAt;
        if (c.failing == kWKITCallEnd)
            WKITTestFailCall(c.failing, 1, -9, nullptr); // the statistics pass ends; the rendering does not
        else if (c.failing != kWKITCallCount)
            WKITTestFailCall(c.failing, 0, -9, nullptr);
        IKelvraError* error = rig.filter.UpdateStatistics(nullptr);
        EXPECT_EQ(c.failed, error != nullptr);
        if (error) {
            EXPECT_EQ(TlFilterId("rev "), error->GetTag());
        }
        IKelvraError::Release(error);
        EXPECT_FALSE(rig.filter.IsEnabled());
        EXPECT_TRUE(rig.filter.IsStale());
        ASSERT_FALSE(rig.sink.notices.empty());
        EXPECT_EQ(kKelvraNotifyData, rig.sink.notices.back().code);
        EXPECT_TRUE(WholeThingIsFree());
        const std::vector<WKITPassEvent> log = FaultScope::TakePassLog();
        EXPECT_EQ(0u, log.size() % 2); // every pass begun was ended
        EXPECT_EQ(ReadAllSamples(rig.image), rig.Output()); // the chain goes on without it
    }
}

TEST(RevelationFilterTest, OtherSourceFormatsAreRefused)
{
    ManagerHolder holder;
    CRevelationFilter filter(holder.manager);
    for (KelvraPixelFormat format : {kKelvraLab16, kKelvraCMYK8, kKelvraLCh16})
        ExpectTileRefused(filter, holder.manager, format, kKelvraTextError);
}

} // namespace
