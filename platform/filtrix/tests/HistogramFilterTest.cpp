#include "FilterTestSupport.h"

#include "filtrix/KelvraFilterHistogram.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <numeric>
#include <vector>

namespace {

const long kDone = CKelvraFilterHistogram::kWatchComplete;

// Counts `bits`-bit bins of `channel` over `area` of a sample grid: channel
// 0 is every plane of a colour image, channel c its plane c - 1.
std::vector<std::uint32_t> Reference(const SampleGrid& grid, const KelvraRect& area, long channel, unsigned depth,
                                     long bits)
{
    std::vector<std::uint32_t> counts(std::size_t(1) << bits);
    for (long y = area.top; y < area.bottom; ++y) {
        for (long x = area.left; x < area.right; ++x) {
            for (long p = 0; p < grid.planes; ++p) {
                if (grid.planes == 1 || channel == 0 || channel == p + 1)
                    ++counts[grid.At(x, y, p) >> (depth - unsigned(bits))];
            }
        }
    }
    return counts;
}

std::vector<std::uint32_t> Read(CKelvraFilterHistogram& histogram, long channel, long bits)
{
    std::vector<std::uint32_t> counts(std::size_t(1) << bits, 0xDEAD);
    ExpectOk(histogram.GetHistogram(channel, counts.data(), bits), "histogram");
    return counts;
}

std::uint64_t Total(const std::vector<std::uint32_t>& counts)
{
    return std::accumulate(counts.begin(), counts.end(), std::uint64_t(0));
}

// Records watcher notices; may act on the completion notice.
class HistogramWatcher : public CKelvraFilterWatcher {
public:
    int OnNotify(IKelvraFilter*, long code, void*) override
    {
        codes.push_back(code);
        if (code == kDone && onDone)
            onDone();
        return 0;
    }
    long Count(long code) const { return long(std::count(codes.begin(), codes.end(), code)); }
    std::vector<long> codes;
    std::function<void()> onDone;
};

long CountCode(const RecordingDestination& sink, long code)
{
    return long(std::count_if(sink.notices.begin(), sink.notices.end(),
                              [code](const Notice& n) { return n.code == code; }));
}

class HistogramFilterTest : public ::testing::Test {
protected:
    // The histogram over a fresh pattern image, watched and with a recording destination.
    void Build(long width, long height, KelvraPixelFormat format)
    {
        m_image = MakePatternImage(m_holder.manager, width, height, format);
        ExpectOk(KelvraDataConnect(m_image, &m_histogram));
        ExpectOk(KelvraDataConnect(&m_histogram, &m_sink));
        ExpectOk(m_watcher.KelvraFilterStartWatching(&m_histogram));
    }
    ~HistogramFilterTest() override
    {
        IKelvraError::Release(KelvraDataDisconnect(&m_histogram, &m_sink));
        if (m_image)
            m_image->Release();
    }
    void ExpectCounts(const KelvraRect& area)
    {
        const SampleGrid grid = ReadSampleGrid(m_image);
        KelvraPixelFormat format = 0;
        ExpectOk(m_histogram.GetColorSpace(&format));
        const unsigned depth = KelvraBitsPerSample(format);
        const long channels = grid.planes == 1 ? 1 : grid.planes + 1;
        for (long channel = 0; channel < channels; ++channel) {
            SCOPED_TRACE(channel);
            EXPECT_EQ(Reference(grid, area, channel, depth, 8), Read(m_histogram, channel, 8));
            const auto native = m_histogram.ReadHistogram(channel);
            ASSERT_NE(nullptr, native);
            EXPECT_EQ(Reference(grid, area, channel, depth, m_histogram.GetNativeBits()), *native);
        }
        EXPECT_EQ(nullptr, m_histogram.ReadHistogram(channels));
    }
    void PullTile(long column, long row)
    {
        const void* data = nullptr;
        KelvraRect rect;
        long rowBytes = 0;
        ExpectOk(m_histogram.LockTile(column, row, &data, &rect, &rowBytes));
        ExpectOk(m_histogram.UnlockTile(column, row));
    }

    ManagerHolder m_holder;
    IKelvraImage* m_image = nullptr;
    CKelvraFilterHistogram m_histogram{m_holder.manager};
    RecordingDestination m_sink;
    HistogramWatcher m_watcher;
};

struct FormatCase {
    KelvraPixelFormat format;
    long nativeBits;
};

class HistogramFormatTest : public HistogramFilterTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(HistogramFormatTest, CountsEveryTileOnceAndAnnouncesCompletionOnce)
{
    Build(150, 90, GetParam().format); // edges cut tiles
    EXPECT_EQ(ReadAllSamples(m_image), ReadAllSamples(&m_histogram)); // pixels pass unchanged
    EXPECT_TRUE(m_histogram.IsComplete());
    ReadAllSamples(&m_histogram);
    EXPECT_EQ(GetParam().nativeBits, m_histogram.GetNativeBits());
    ExpectCounts(KelvraRect(0, 0, 150, 90));
    EXPECT_EQ(1, CountCode(m_sink, kKelvraNotifyHistogramDone));
    EXPECT_EQ(static_cast<IKelvraDataSource*>(&m_histogram), m_sink.notices.back().sender);
    EXPECT_EQ(1, m_watcher.Count(kDone));
}

INSTANTIATE_TEST_SUITE_P(Histogram, HistogramFormatTest,
                         ::testing::Values(FormatCase{kKelvraGrey8, 8}, FormatCase{kKelvraRGB8, 8},
                                           FormatCase{kKelvraRGB16, 10}, FormatCase{kKelvraCMYK8, 8},
                                           FormatCase{kKelvraGrey16, 10}));

TEST_F(HistogramFilterTest, TilesDroppedFromASmallCacheAreNotCountedTwice)
{
    Build(640, 512, kKelvraGrey8); // 80 tiles, more than the small cache keeps
    ExpectOk(m_histogram.SetCacheUsage(0));
    ReadAllSamples(&m_histogram);
    ReadAllSamples(&m_histogram);
    ExpectCounts(KelvraRect(0, 0, 640, 512));
    EXPECT_EQ(1, m_watcher.Count(kDone));
}

TEST_F(HistogramFilterTest, OnlyTheCropCountsAndCompletesOnItsTiles)
{
    Build(150, 90, kKelvraRGB8);
    const KelvraRect crop(20, 10, 130, 60); // tiles (0..2, 0)
    ExpectOk(m_histogram.SetCrop(crop));
    std::vector<std::uint8_t> buffer(std::size_t(KelvraRowBytes(kKelvraRGB8, 110) * 50));
    ExpectOk(KelvraReadRect(&m_histogram, crop, buffer.data(), KelvraRowBytes(kKelvraRGB8, 110)));
    EXPECT_TRUE(m_histogram.IsComplete());
    ExpectCounts(crop);
    long width = 0, height = 0;
    ExpectOk(m_histogram.GetSize(&width, &height));
    EXPECT_EQ(110, width);
    EXPECT_EQ(50, height);

    ExpectOk(m_histogram.SetCrop(KelvraRect(100, 50, 400, 400))); // cut to the image
    EXPECT_FALSE(m_histogram.IsComplete());
    EXPECT_EQ(1, CountCode(m_sink, kKelvraNotifyHistogramReset));
    ExpectOk(m_histogram.GetSize(&width, &height));
    EXPECT_EQ(50, width);
    EXPECT_EQ(40, height);
    ExpectError(m_histogram.SetCrop(KelvraRect(10, 10, 5, 20)), kKelvraBadArgument, CKelvraFilterHistogram::kTag);
}

TEST_F(HistogramFilterTest, ForceCompletionCountsTheRestOnTheCallersThread)
{
    Build(200, 150, kKelvraRGB16);
    PullTile(1, 1);
    EXPECT_FALSE(m_histogram.IsComplete());
    EXPECT_EQ(0, m_watcher.Count(kDone));

    ExpectOk(m_histogram.ForceCompletion());
    EXPECT_TRUE(m_histogram.IsComplete());
    ExpectCounts(KelvraRect(0, 0, 200, 150));
    EXPECT_EQ(1, CountCode(m_sink, kKelvraNotifyHistogramDone));
    EXPECT_EQ(1, m_watcher.Count(kDone));
    ExpectOk(m_histogram.ForceCompletion()); // nothing left: no second notice
    EXPECT_EQ(1, m_watcher.Count(kDone));
}

TEST_F(HistogramFilterTest, AChangeTakesBackItsAreaUntilItFlowsAgain)
{
    Build(200, 150, kKelvraGrey8);
    ReadAllSamples(&m_histogram);
    ASSERT_TRUE(m_histogram.IsComplete());

    const KelvraRect changed(70, 70, 90, 80); // inside tile (1, 1)
    std::vector<std::uint8_t> block(20 * 10, 255);
    ExpectOk(KelvraWriteRect(m_image, changed, block.data(), 20));
    EXPECT_FALSE(m_histogram.IsComplete());
    EXPECT_EQ(1, CountCode(m_sink, kKelvraNotifyHistogramReset));
    EXPECT_EQ(200u * 150u - 64u * 64u, Total(Read(m_histogram, 0, 8))); // the other tiles stay counted

    ReadAllSamples(&m_histogram);
    EXPECT_TRUE(m_histogram.IsComplete());
    ExpectCounts(KelvraRect(0, 0, 200, 150));
    EXPECT_EQ(2, CountCode(m_sink, kKelvraNotifyHistogramDone));
    EXPECT_EQ(2, m_watcher.Count(kDone));
}

TEST_F(HistogramFilterTest, AReaderCanFixTheResultWhenDoneAndRestartLater)
{
    Build(130, 70, kKelvraRGB8);
    std::vector<std::uint32_t> atDone;
    m_watcher.onDone = [&] { // what the preview's watcher does on completion
        atDone = Read(m_histogram, 1, 8);
        ExpectOk(m_histogram.SetCounting(false, true));
    };
    ReadAllSamples(&m_histogram);
    EXPECT_FALSE(m_histogram.IsCounting());
    EXPECT_EQ(130u * 70u, Total(atDone));
    EXPECT_EQ(0, CountCode(m_sink, kKelvraNotifyData)) << "what was made downstream stays";

    std::vector<std::uint8_t> block(10 * 10 * 3, 0);
    ExpectOk(KelvraWriteRect(m_image, KelvraRect(0, 0, 10, 10), block.data(), 30));
    EXPECT_TRUE(m_histogram.IsComplete()); // the fixed result stays
    EXPECT_EQ(atDone, Read(m_histogram, 1, 8));
    EXPECT_EQ(ReadAllSamples(m_image), ReadAllSamples(&m_histogram));

    m_watcher.onDone = nullptr;
    const long changesBefore = CountCode(m_sink, kKelvraNotifyData);
    ExpectOk(m_histogram.SetCounting(true, true));
    EXPECT_EQ(changesBefore + 1, CountCode(m_sink, kKelvraNotifyData)) << "the tiles flow through the count again";
    EXPECT_FALSE(m_histogram.IsComplete());
    ReadAllSamples(&m_histogram);
    ExpectCounts(KelvraRect(0, 0, 130, 70));
}

TEST_F(HistogramFilterTest, ProcessRunCompletesBeforeItsFirstTileLeaves)
{
    Build(150, 200, kKelvraRGB8);
    IKelvraImage* result = nullptr;
    ExpectOk(m_holder.manager->CreateImage(&result, 0));
    IKelvraDataSource* sources[] = {m_image};
    void* handle = nullptr;
    ExpectOk(m_histogram.BeginProcess(&handle, sources, 1, result));
    long done = 0, total = 0;
    ExpectOk(m_histogram.ExecuteProcess(handle, &done, &total));
    EXPECT_TRUE(m_histogram.IsComplete());
    EXPECT_EQ(1, m_watcher.Count(kDone));
    while (total != 0)
        ExpectOk(m_histogram.ExecuteProcess(handle, &done, &total));
    ExpectOk(m_histogram.EndProcess(handle));
    ExpectCounts(KelvraRect(0, 0, 150, 200));
    EXPECT_EQ(ReadAllSamples(m_image), ReadAllSamples(result));
    result->Release();
}

TEST_F(HistogramFilterTest, RefusesWhatItCannotAnswer)
{
    std::uint32_t counts[1024] = {};
    ExpectError(m_histogram.GetHistogram(0, counts, 8), kKelvraNotReady, CKelvraFilterHistogram::kTag);
    ExpectError(m_histogram.ForceCompletion(), kKelvraNotReady, CKelvraFilterHistogram::kTag);
    EXPECT_EQ(0, m_histogram.GetNativeBits());
    Build(64, 64, kKelvraRGB8);
    ExpectError(m_histogram.GetHistogram(4, counts, 8), kKelvraBadArgument, CKelvraFilterHistogram::kTag);
    ExpectError(m_histogram.GetHistogram(1, counts, 9), kKelvraBadArgument, CKelvraFilterHistogram::kTag);
    ExpectError(m_histogram.GetHistogram(1, nullptr, 8), kKelvraMissingObject, CKelvraFilterHistogram::kTag);
    EXPECT_EQ(nullptr, m_histogram.ReadHistogram(4));
    EXPECT_EQ(nullptr, m_histogram.ReadHistogram(-1));
}

} // namespace
