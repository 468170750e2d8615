#include "ExampleFilters.h"
#include "FilterTestSupport.h"

#include "kelvra/KelvraFilterChain.h"

#include <algorithm>

namespace {

class FilterBaseTest : public ::testing::Test {
protected:
    ManagerHolder m_holder;
    IKelvraManager* Manager() { return m_holder.manager; }
};

TEST_F(FilterBaseTest, TilePullsThroughThreeFiltersMatchWholeImageReference)
{
    for (KelvraPixelFormat format : {kKelvraRGB16, kKelvraGrey8}) {
        SCOPED_TRACE(format);
        IKelvraImage* image = MakePatternImage(Manager(), 150, 90, format); // edges cut tiles
        GainFilter gain(Manager(), 3, 2);
        InvertFilter invert(Manager());
        GainFilter half(Manager(), 1, 2);
        ExpectOk(KelvraDataConnect(image, &gain));
        ExpectOk(KelvraDataConnect(&gain, &invert));
        ExpectOk(KelvraDataConnect(&invert, &half));

        const bool wide = KelvraIs16Bit(format);
        const unsigned max = wide ? 65535 : 255;
        const std::vector<unsigned> input = ReadAllSamples(image);
        const std::vector<unsigned> output = ReadAllSamples(&half);
        ASSERT_EQ(input.size(), output.size());
        for (std::size_t i = 0; i < input.size(); ++i) {
            const unsigned expected = GainSample(InvertSample(GainSample(input[i], max, 3, 2), max), max, 1, 2);
            ASSERT_EQ(expected, output[i]) << "sample " << i;
        }
        image->Release();
    }
}

TEST_F(FilterBaseTest, DisabledOrBypassedFilterPassesTilesThroughUntouched)
{
    IKelvraImage* image = MakePatternImage(Manager(), 100, 70, kKelvraRGB8);
    GainFilter gain(Manager());
    ExpectOk(KelvraDataConnect(image, &gain));
    const std::vector<unsigned> input = ReadAllSamples(image);

    gain.SetBypass(true);
    EXPECT_EQ(input, ReadAllSamples(&gain));
    gain.SetBypass(false);
    ExpectOk(gain.Enable(false, false));
    EXPECT_EQ(input, ReadAllSamples(&gain));
    EXPECT_EQ(0, gain.tilesMade.load());
    ExpectOk(gain.Enable(true, false));
    EXPECT_NE(input, ReadAllSamples(&gain));
    image->Release();
}

TEST_F(FilterBaseTest, SilentChangesReachNoDestination)
{
    IKelvraImage* image = MakePatternImage(Manager(), 64, 64, kKelvraGrey8);
    GainFilter gain(Manager());
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(image, &gain));
    ExpectOk(KelvraDataConnect(&gain, &sink));

    ExpectOk(gain.Enable(false, false));
    ExpectOk(gain.SetGain(5, false));
    EXPECT_TRUE(sink.notices.empty());
    EXPECT_TRUE(gain.IsStale());

    ExpectOk(gain.Enable(true, true));
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(KelvraRect(0, 0, 64, 64), sink.notices[0].rect);
    ExpectOk(KelvraDataDisconnect(&gain, &sink));
    image->Release();
}

TEST_F(FilterBaseTest, SetterWithSameValueOrDisabledFilterSendsNothing)
{
    IKelvraImage* image = MakePatternImage(Manager(), 64, 64, kKelvraGrey8);
    GainFilter gain(Manager(), 2, 1);
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(image, &gain));
    ExpectOk(KelvraDataConnect(&gain, &sink));
    ReadAllSamples(&gain); // makes the cache fresh
    ASSERT_FALSE(gain.IsStale());

    ExpectOk(gain.SetGain(2, true));
    EXPECT_FALSE(gain.IsStale());
    ExpectOk(gain.SetGain(3, true));
    EXPECT_EQ(1u, sink.notices.size());
    ExpectOk(gain.Enable(false, false));
    ExpectOk(gain.SetGain(4, true));
    EXPECT_EQ(1u, sink.notices.size());
    ExpectOk(KelvraDataDisconnect(&gain, &sink));
    image->Release();
}

TEST_F(FilterBaseTest, DataNoticeReachesEveryDestinationFromItsSenderAndDropsOnlyCoveredTiles)
{
    IKelvraImage* image = MakePatternImage(Manager(), 256, 128, kKelvraGrey8);
    GainFilter gain(Manager());
    InvertFilter invert(Manager());
    RecordingDestination first, second;
    ExpectOk(KelvraDataConnect(image, &gain));
    ExpectOk(KelvraDataConnect(&gain, &invert));
    ExpectOk(KelvraDataConnect(&invert, &first));
    ExpectOk(KelvraDataConnect(&invert, &second));
    ReadAllSamples(&invert);
    const int madeBefore = gain.tilesMade.load(); // 4 x 2 tiles

    KelvraRect changed(10, 10, 20, 20); // inside tile (0, 0) only
    ExpectOk(KelvraSendDataNotification(image, kKelvraNotifyData, &changed));
    for (RecordingDestination* sink : {&first, &second}) {
        ASSERT_EQ(1u, sink->notices.size());
        EXPECT_EQ(static_cast<IKelvraDataSource*>(image), sink->notices[0].sender);
        EXPECT_EQ(changed, sink->notices[0].rect);
    }
    ReadAllSamples(&invert);
    EXPECT_EQ(madeBefore + 1, gain.tilesMade.load());

    ExpectOk(KelvraDataDisconnect(&invert, &first));
    ExpectOk(KelvraDataDisconnect(&invert, &second));
    image->Release();
}

class CountingWatcher : public CKelvraFilterWatcher {
public:
    int OnNotify(IKelvraFilter*, long code, void* data) override
    {
        if (code == kKelvraWatchProgress) {
            auto* progress = static_cast<KelvraProgress*>(data);
            steps.push_back(progress->current);
            total = progress->total;
            if (stopAfter > 0 && long(steps.size()) >= stopAfter)
                progress->carryOn = 0;
        }
        return 0;
    }
    std::vector<long> steps;
    long total = 0;
    long stopAfter = 0;
};

TEST_F(FilterBaseTest, ProcessRunCopiesInStepsWithIncreasingProgress)
{
    IKelvraImage* image = MakePatternImage(Manager(), 1000, 700, kKelvraRGB16);
    GainFilter gain(Manager(), 1, 1); // an exact copy
    CountingWatcher watcher;
    ExpectOk(watcher.KelvraFilterStartWatching(&gain));
    IKelvraImage* result = nullptr;
    ExpectOk(Manager()->CreateImage(&result, 0));

    IKelvraDataSource* sources[] = {image};
    void* handle = nullptr;
    ExpectOk(gain.BeginProcess(&handle, sources, 1, result));
    long done = 0, total = 1, steps = 0, lastDone = -1;
    while (total != 0) {
        ExpectOk(gain.ExecuteProcess(handle, &done, &total));
        ASSERT_GT(done, lastDone);
        lastDone = done;
        ASSERT_LT(++steps, 100);
    }
    ExpectOk(gain.EndProcess(handle));
    EXPECT_EQ(11, steps); // 700 rows in tiles of 64
    EXPECT_EQ(11u, watcher.steps.size());
    EXPECT_EQ(11, watcher.total);
    EXPECT_EQ(ReadAllSamples(image), ReadAllSamples(result));
    image->Release();
    result->Release();
}

TEST_F(FilterBaseTest, ProcessRunStopsWhenAWatcherClearsCarryOnAndEndCancelsIt)
{
    IKelvraImage* image = MakePatternImage(Manager(), 300, 300, kKelvraGrey8);
    GainFilter gain(Manager());
    CountingWatcher watcher;
    watcher.stopAfter = 2;
    ExpectOk(watcher.KelvraFilterStartWatching(&gain));
    IKelvraImage* result = nullptr;
    ExpectOk(Manager()->CreateImage(&result, 0));

    IKelvraDataSource* sources[] = {image};
    void* handle = nullptr;
    ExpectOk(gain.BeginProcess(&handle, sources, 1, result));
    long done = 0, total = 0;
    ExpectOk(gain.ExecuteProcess(handle, &done, &total));
    IKelvraError* error = gain.ExecuteProcess(handle, &done, &total);
    ASSERT_NE(nullptr, error);
    EXPECT_TRUE(error->HasCode(kKelvraCancelled));
    IKelvraError::Release(error);
    ExpectOk(gain.EndProcess(handle));

    IKelvraError* stale = gain.ExecuteProcess(handle, &done, &total); // the handle is gone
    EXPECT_NE(nullptr, stale);
    IKelvraError::Release(stale);
    image->Release();
    result->Release();
}

TEST_F(FilterBaseTest, EndingARunHalfwayCancelsItCleanly)
{
    IKelvraImage* image = MakePatternImage(Manager(), 200, 300, kKelvraGrey8);
    GainFilter gain(Manager(), 1, 1);
    IKelvraImage* result = nullptr;
    ExpectOk(Manager()->CreateImage(&result, 0));
    IKelvraDataSource* sources[] = {image};
    void* handle = nullptr;
    ExpectOk(gain.BeginProcess(&handle, sources, 1, result));
    long done = 0, total = 0;
    ExpectOk(gain.ExecuteProcess(handle, &done, &total));
    ASSERT_EQ(1, done);
    ASSERT_EQ(5, total);
    ExpectOk(gain.EndProcess(handle));

    // The first row of tiles was written; the rest of the image stays empty.
    const std::vector<unsigned> input = ReadAllSamples(image);
    const std::vector<unsigned> output = ReadAllSamples(result);
    EXPECT_TRUE(std::equal(input.begin(), input.begin() + 200 * 64, output.begin()));
    EXPECT_EQ(0u, output[200 * 64 + 5]);
    // The filter is ready for another run.
    EXPECT_EQ(5, RunProcess(gain, image, result));
    EXPECT_EQ(input, ReadAllSamples(result));
    image->Release();
    result->Release();
}

TEST_F(FilterBaseTest, DeletingAConnectedWatchedFilterLeavesNoLinks)
{
    IKelvraImage* image = MakePatternImage(Manager(), 64, 64, kKelvraGrey8);
    RecordingDestination sink;
    CountingWatcher watcher;
    auto* gain = new GainFilter(Manager());
    ExpectOk(KelvraDataConnect(image, gain));
    ExpectOk(KelvraDataConnect(gain, &sink));
    ExpectOk(watcher.KelvraFilterStartWatching(gain));
    const void* data = nullptr;
    KelvraRect rect;
    long rowBytes = 0;
    ExpectOk(gain->LockTile(0L, 0L, &data, &rect, &rowBytes)); // a tile still locked

    delete gain;
    EXPECT_EQ(0, KelvraDestinationCount(image));
    EXPECT_FALSE(watcher.IsWatching(gain));
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(kKelvraNotifyDestroyed, sink.notices[0].code);
    // The image can still change without reaching the deleted filter.
    KelvraRect all(0, 0, 64, 64);
    ExpectOk(KelvraSendDataNotification(image, kKelvraNotifyData, &all));
    image->Release();
}

TEST_F(FilterBaseTest, DestroyedWatcherIsForgotten)
{
    GainFilter gain(Manager());
    {
        CountingWatcher watcher;
        ExpectOk(watcher.KelvraFilterStartWatching(&gain));
        EXPECT_TRUE(watcher.IsWatching(&gain));
    }
    KelvraProgress progress = {0, 0, 1, 1, 1, {}};
    ExpectOk(gain.NotifyWatchers(kKelvraWatchProgress, &progress)); // must not reach the dead watcher
}

} // namespace
