// Process runs on the worker pool: for every standard filter, 8- and 16-bit
// sources and sizes that end inside a tile, the output of a run made on
// several threads is the output made on one, byte for byte; a tile that
// fails stops the run and is reported once, as the filter tagged it; a run
// stopped from another thread stops within a few rows and leaves no thread
// making its tiles.
#include "ExampleFilters.h"
#include "ProcessRunCheck.h"

#include "filtrix/CropFilter.h"
#include "filtrix/KelvraFilterColorSpace.h"
#include "filtrix/KelvraFilterLut.h"
#include "filtrix/KelvraFilterScale.h"
#include "filtrix/KelvraFilterTransform.h"
#include "filtrix/UnsharpMaskFilter.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraWorkers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace {

constexpr long kManyThreads = 8;

// Restores the default thread count whatever a test did.
class ParallelRunTest : public PatternImageTest {
protected:
    void TearDown() override
    {
        KelvraSetWorkerThreads(0);
        PatternImageTest::TearDown();
    }
};

using FilterMaker = std::function<std::unique_ptr<CKelvraFilterBase>(IKelvraManager*)>;

struct FilterCase {
    const char* name;
    FilterMaker make;
};

std::vector<std::uint16_t> CurveTable()
{
    std::vector<std::uint16_t> table(4096);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = std::uint16_t((i * i) / 4096 / 16);
    return table;
}

const FilterCase kFilters[] = {
    {"gain", [](IKelvraManager* m) { return std::unique_ptr<CKelvraFilterBase>(new GainFilter(m, 3, 2)); }},
    {"whole-input gain",
     [](IKelvraManager* m) { return std::unique_ptr<CKelvraFilterBase>(new GainFilter(m, 3, 2, 0)); }},
    {"look-up table",
     [](IKelvraManager* m) {
         auto* lut = new CKelvraFilterLut(m);
         static const std::vector<std::uint16_t> table = CurveTable();
         const std::uint16_t* tables[] = {table.data()};
         ExpectOk(lut->SetLUT(tables, 12, 8, 1, false));
         return std::unique_ptr<CKelvraFilterBase>(lut);
     }},
    {"area scale",
     [](IKelvraManager* m) {
         auto* scale = new CKelvraFilterScale(m, CKelvraFilterScale::kArea);
         ExpectOk(scale->SetScale(0.37, 0.61, false));
         return std::unique_ptr<CKelvraFilterBase>(scale);
     }},
    {"enlarging scale",
     [](IKelvraManager* m) {
         auto* scale = new CKelvraFilterScale(m, CKelvraFilterScale::kArea);
         ExpectOk(scale->SetScale(1.7, false));
         return std::unique_ptr<CKelvraFilterBase>(scale);
     }},
    {"turn",
     [](IKelvraManager* m) {
         auto* turn = new CKelvraFilterTransform(m);
         ExpectOk(turn->SetTransform(true, 90.0, false, false));
         return std::unique_ptr<CKelvraFilterBase>(turn);
     }},
    {"unsharp mask",
     [](IKelvraManager* m) {
         auto* usm = new CUnsharpMaskFilter(m);
         ExpectOk(usm->SetRadii(2.5, 2.5, false));
         ExpectOk(usm->SetPower(0.8, false));
         return std::unique_ptr<CKelvraFilterBase>(usm);
     }},
    {"crop",
     [](IKelvraManager* m) {
         auto* crop = new CCropFilter(m);
         ExpectOk(crop->SetCrop(KelvraRect(13, 7, 150, 90), false));
         return std::unique_ptr<CKelvraFilterBase>(crop);
     }},
    {"colour space",
     [](IKelvraManager* m) {
         auto* space = new CKelvraFilterColorSpace(m);
         ExpectOk(space->SetOutputColorSpace(kColorSpaceGrey, kColorDepth16, false));
         return std::unique_ptr<CKelvraFilterBase>(space);
     }},
};

TEST_F(ParallelRunTest, ManyThreadsMakeWhatOneMakesForEveryFilterDepthAndSize)
{
    const struct {
        long width, height;
    } sizes[] = {{1, 1}, {65, 63}, {200, 129}, {333, 197}};
    for (const FilterCase& c : kFilters) {
        for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16}) {
            for (const auto& size : sizes) {
                SCOPED_TRACE(testing::Message() << c.name << ", format " << format << ", " << size.width << " x "
                                                << size.height);
                IKelvraImage* source = Image(size.width, size.height, format);
                std::unique_ptr<CKelvraFilterBase> filter = c.make(Manager());
                ExpectManyThreadsMakeWhatOneMakes(Manager(), *filter, source, kManyThreads);
            }
        }
    }
}

// A chain of one filter of each case, in table order; `filters` owns them.
IKelvraFilterChain* ChainOfEveryFilter(IKelvraManager* manager, std::vector<std::unique_ptr<CKelvraFilterBase>>* filters)
{
    IKelvraFilterChain* chain = nullptr;
    ExpectOk(manager->CreateFilterChain(&chain));
    for (const FilterCase& c : kFilters) {
        filters->push_back(c.make(manager));
        ExpectOk(chain->InsertFilter(filters->back().get(), -1));
    }
    return chain;
}

TEST_F(ParallelRunTest, ChainOfFiltersOnManyThreadsMakesWhatOneMakes)
{
    IKelvraImage* source = Image(517, 389, kKelvraRGB16);
    std::vector<std::unique_ptr<CKelvraFilterBase>> filters;
    IKelvraFilterChain* chain = ChainOfEveryFilter(Manager(), &filters);
    ExpectManyThreadsMakeWhatOneMakes(Manager(), *chain, source, kManyThreads);
    chain->Release();
}

// Fails the one tile that holds pixel (x, y) of its output.
class FailingTileFilter : public GainFilter {
public:
    static constexpr KelvraTag kTag = KelvraFourCC('F', 'a', 'i', 'l');
    static constexpr long kLine = __LINE__ + 8;

    FailingTileFilter(IKelvraManager* manager, long x, long y) : GainFilter(manager, 1, 1), m_x(x), m_y(y) {}
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override
    {
        KelvraRect rect;
        tile->GetRect(&rect);
        if (rect.Contains(m_x, m_y))
            return IKelvraError::Add(nullptr, kTag, __LINE__, kKelvraCategoryKelvra, kKelvraWriteError);
        return GainFilter::DoGenerateTile(tile, info);
    }

private:
    long m_x, m_y;
};

// How many errors of `chain`, everything they wrap included, carry `tag`.
long CountTagged(const IKelvraError* chain, KelvraTag tag)
{
    long count = 0;
    for (const IKelvraError* e = chain; e; e = e->GetNext())
        count += (e->GetTag() == tag ? 1 : 0) + CountTagged(e->GetInner(), tag);
    return count;
}

// The innermost error that carries `tag`.
const IKelvraError* FindTagged(const IKelvraError* chain, KelvraTag tag)
{
    for (const IKelvraError* e = chain; e; e = e->GetNext()) {
        if (const IKelvraError* inner = FindTagged(e->GetInner(), tag))
            return inner;
        if (e->GetTag() == tag)
            return e;
    }
    return nullptr;
}

TEST_F(ParallelRunTest, FailedTileStopsTheRunAndIsReportedOnceWithItsTagAndLine)
{
    IKelvraImage* source = Image(700, 300, kKelvraRGB8);
    const long errorsBefore = IKelvraError::LiveCount();
    FailingTileFilter failing(Manager(), 400, 150); // tile (6, 2) of a row of 11
    KelvraSetWorkerThreads(kManyThreads);
    IKelvraImage* result = nullptr;
    ExpectOk(Manager()->CreateImage(&result, 0));
    IKelvraDataSource* sources[] = {source};
    void* handle = nullptr;
    ExpectOk(failing.BeginProcess(&handle, sources, 1, result));
    long done = 0, total = 1, steps = 0;
    IKelvraError* error = nullptr;
    while (!error && total != 0) {
        error = failing.ExecuteProcess(handle, &done, &total);
        ++steps;
    }
    ExpectOk(failing.EndProcess(handle));
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(steps, 3); // the row of the failed tile is the last one tried
    EXPECT_EQ(CountTagged(error, FailingTileFilter::kTag), 1);
    const IKelvraError* cause = FindTagged(error, FailingTileFilter::kTag);
    ASSERT_NE(cause, nullptr);
    EXPECT_EQ(cause->GetLine(), FailingTileFilter::kLine);
    EXPECT_EQ(cause->GetCode(), kKelvraWriteError);
    IKelvraError::Release(error);
    EXPECT_EQ(IKelvraError::LiveCount(), errorsBefore); // the other threads' errors went too
    result->Release();
}

// A whole-image read of a chain makes its tiles on every worker thread:
// what it reads, whole or in a part that cuts tiles, is what one thread reads.
TEST_F(ParallelRunTest, ReadOfAChainOnManyThreadsReadsWhatOneReads)
{
    IKelvraImage* source = Image(517, 389, kKelvraRGB16);
    auto read = [&](long threads, const KelvraRect& rect) {
        std::vector<std::unique_ptr<CKelvraFilterBase>> filters;
        IKelvraFilterChain* chain = ChainOfEveryFilter(Manager(), &filters);
        ExpectOk(KelvraDataConnect(source, chain));
        long width = 0, height = 0;
        ExpectOk(chain->GetSize(&width, &height));
        KelvraPixelFormat format = 0;
        ExpectOk(chain->GetColorSpace(&format));
        const long bytes = KelvraRowBytes(format, width);
        std::vector<std::uint8_t> pixels(std::size_t(bytes) * std::size_t(rect.Height()), 0x5A);
        KelvraSetWorkerThreads(threads);
        ExpectOk(KelvraReadRect(chain, rect.Intersection(KelvraRect(0, 0, width, height)), pixels.data(), bytes));
        KelvraSetWorkerThreads(0);
        chain->Release();
        return pixels;
    };
    for (const KelvraRect& rect : {KelvraRect(0, 0, 517, 389), KelvraRect(3, 61, 400, 330)}) {
        SCOPED_TRACE(testing::Message() << rect.left << "," << rect.top << " to " << rect.right << "," << rect.bottom);
        EXPECT_TRUE(read(1, rect) == read(kManyThreads, rect));
    }
}

TEST_F(ParallelRunTest, FailedTileOfAWholeReadIsReportedOnceWithItsTagAndLine)
{
    IKelvraImage* source = Image(700, 300, kKelvraRGB8);
    const long errorsBefore = IKelvraError::LiveCount();
    FailingTileFilter failing(Manager(), 400, 150);
    ExpectOk(KelvraDataConnect(source, &failing));
    std::vector<std::uint8_t> pixels(std::size_t(KelvraRowBytes(kKelvraRGB8, 700)) * 300);
    KelvraSetWorkerThreads(kManyThreads);
    IKelvraError* error =
        KelvraReadRect(&failing, KelvraRect(0, 0, 700, 300), pixels.data(), KelvraRowBytes(kKelvraRGB8, 700));
    KelvraSetWorkerThreads(0);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(CountTagged(error, FailingTileFilter::kTag), 1);
    const IKelvraError* cause = FindTagged(error, FailingTileFilter::kTag);
    ASSERT_NE(cause, nullptr);
    EXPECT_EQ(cause->GetLine(), FailingTileFilter::kLine);
    IKelvraError::Release(error);
    EXPECT_EQ(IKelvraError::LiveCount(), errorsBefore); // the other bands' errors went too
}

// Stops the run once `stop` is set, from whichever thread set it.
class StoppingWatcher : public CKelvraFilterWatcher {
public:
    int OnNotify(IKelvraFilter*, long code, void* data) override
    {
        if (code == kKelvraWatchProgress && stop.load())
            static_cast<KelvraProgress*>(data)->carryOn = 0;
        return 0;
    }
    std::atomic<bool> stop{false};
};

TEST_F(ParallelRunTest, RunStoppedFromAnotherThreadEndsWithinAFewRowsAndLeavesNoWorkerBusy)
{
    const long columns = 20, rows = 60;
    IKelvraImage* source = Image(columns * 64, rows * 64, kKelvraRGB16);
    GainFilter gain(Manager(), 1, 1);
    StoppingWatcher watcher;
    ExpectOk(watcher.KelvraFilterStartWatching(&gain));
    KelvraSetWorkerThreads(kManyThreads);
    IKelvraImage* result = nullptr;
    ExpectOk(Manager()->CreateImage(&result, 0));

    const long stopAfterTiles = 5 * columns;
    std::atomic<int> madeWhenStopped{0};
    std::thread stopper([&] {
        while (gain.tilesMade.load() < stopAfterTiles)
            std::this_thread::yield();
        madeWhenStopped.store(gain.tilesMade.load());
        watcher.stop.store(true);
    });
    IKelvraDataSource* sources[] = {source};
    void* handle = nullptr;
    ExpectOk(gain.BeginProcess(&handle, sources, 1, result));
    long done = 0, total = 1;
    IKelvraError* error = nullptr;
    while (!error && total != 0)
        error = gain.ExecuteProcess(handle, &done, &total);
    stopper.join();
    ExpectError(error, kKelvraCancelled, gain.GetFilterTag());
    ExpectOk(gain.EndProcess(handle));

    const long rowsWhenStopped = madeWhenStopped.load() / columns;
    EXPECT_LE(done, rowsWhenStopped + 2);
    EXPECT_LT(done, rows);
    const int made = gain.tilesMade.load();
    EXPECT_LE(made, (done + 1) * columns);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(gain.tilesMade.load(), made); // nothing is still making tiles
    ExpectOk(watcher.KelvraFilterStopWatching(&gain));
    result->Release();
}

} // namespace
