// The preview chain's watcher and progress reports and its source-shrink
// factor: what reaches the host's progress callback for each report, the
// histogram sums, and the factor for sources of every kind.
#include "PreviewChainTestSupport.h"
#include "RawTestTags.h"

#include "filtrix/KelvraFilterGrid.h"
#include "filtrix/KelvraFilterHistogram.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Report = std::array<std::uint32_t, 3>;
std::vector<Report> g_reports;

void __stdcall Record(std::uint32_t kind, std::uint32_t value, std::uint32_t flags)
{
    g_reports.push_back({kind, value, flags});
}

KelvraProgress Progress(const char (&phase)[5], std::int32_t current, std::int32_t total)
{
    KelvraProgress progress = {KelvraFourCC(phase[0], phase[1], phase[2], phase[3]), current, total, 1, 1, {}};
    return progress;
}

class ChainReports : public PreviewChainFixture {
protected:
    ChainReports() : PreviewChainFixture(kKelvraRGB8) {}

    void SetUp() override
    {
        g_reports.clear();
        PreviewChainFixture::SetUp();
        ASSERT_EQ(Build(m_chain), 0);
        m_chain.SetProgressCallback(Record, true);
    }

    // What one progress notice from `filter` reports.
    std::vector<Report> Notify(IKelvraFilter* filter, KelvraProgress progress)
    {
        g_reports.clear();
        EXPECT_EQ(m_chain.OnNotify(filter, kKelvraWatchProgress, &progress), 0);
        return g_reports;
    }
};

} // namespace

TEST_F(ChainReports, StepsReportedToTheChain)
{
    struct {
        std::int32_t current;
        std::int32_t total;
        std::vector<Report> expected;
    } const cases[] = {
        {-1, 9, {{0, 0, 0x2000}}}, {-2, 9, {{2, 0, 0x2000}}}, {5, 9, {{1, 50, 0x2000}}},
        {-3, 9, {}},               {0, 0, {{1, 0, 0x2000}}},  {9, 9, {{1, 90, 0x2000}}},
        {3, -1, {}}, // no step count to divide by
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(testing::Message() << entry.current << " of " << entry.total);
        g_reports.clear();
        EXPECT_EQ(m_chain.ReportProgress(entry.current, entry.total), 1);
        EXPECT_EQ(g_reports, entry.expected);
    }
    m_chain.SetProgressCallback(nullptr, true);
    g_reports.clear();
    EXPECT_EQ(m_chain.ReportProgress(5, 9), 1);
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(ChainReports, TheRevelationFilterReportsItsPhasesAsShares)
{
    IKelvraFilter* revelation = m_chain.GetSlot(TlChainSlots::kRevelation);
    ASSERT_NE(revelation, nullptr);
    const std::vector<Report> none;
    EXPECT_EQ(Notify(revelation, Progress("Norm", 10, 20)), std::vector<Report>({{1, 12, 0x80000}}));
    EXPECT_EQ(Notify(revelation, Progress("Rev ", 10, 20)), std::vector<Report>({{1, 62, 0x80000}}));
    EXPECT_EQ(Notify(revelation, Progress("\0Rev", 10, 20)), std::vector<Report>({{1, 62, 0x80000}}))
        << "the tag the filter sends";
    EXPECT_EQ(Notify(revelation, Progress("Othr", 10, 20)), std::vector<Report>({{1, 50, 0x80000}}));
    EXPECT_EQ(Notify(revelation, Progress("Norm", 0, 1)), none) << "the start";
    EXPECT_EQ(Notify(revelation, Progress("Norm", 20, 20)), none) << "the end";
    EXPECT_EQ(Notify(revelation, Progress("Norm", 3, 0)), none) << "no total";
    m_chain.SetProgressCallback(Record, false);
    EXPECT_EQ(Notify(revelation, Progress("Norm", 10, 20)), none) << "progress not wanted";
}

TEST_F(ChainReports, PluginFiltersReportStartStepsAndEnd)
{
    IKelvraFilter* other = m_chain.GetSlot(TlChainSlots::kTransform);
    const std::vector<Report> none;
    EXPECT_EQ(Notify(other, Progress("Plug", 0, 1)), std::vector<Report>({{0, 0, 0x400000}}));
    EXPECT_EQ(Notify(other, Progress("Plug", 3, 4)), std::vector<Report>({{1, 75, 0x400000}}))
        << "a percentage, not the bare ratio";
    EXPECT_EQ(Notify(other, Progress("Plug", 4, 4)), std::vector<Report>({{2, 100, 0x400000}}));
    EXPECT_EQ(Notify(other, Progress("Plug", 3, 0)), none);
    EXPECT_EQ(Notify(other, Progress("Othr", 3, 4)), none) << "only plug-in phases from other filters";
    m_chain.SetProgressCallback(nullptr, true);
    EXPECT_EQ(Notify(other, Progress("Plug", 3, 4)), none);
    EXPECT_EQ(m_chain.OnNotify(other, 77, nullptr), 0);
}

TEST_F(ChainReports, ACompleteHistogramLeavesItsChannelSums)
{
    CKelvraFilterHistogram histogram(m_manager);
    ExpectOk(KelvraDataConnect(m_image, &histogram));
    ExpectOk(m_chain.KelvraFilterStartWatching(&histogram));
    EXPECT_FALSE(m_chain.IsHistogramReady());
    ExpectOk(histogram.ForceCompletion());
    ASSERT_TRUE(m_chain.IsHistogramReady());
    const std::vector<unsigned> samples = ReadAllSamples(m_image);
    double sums[3] = {};
    for (std::size_t i = 0; i < samples.size(); ++i)
        sums[i % 3] += samples[i];
    for (int channel = 1; channel <= 3; ++channel)
        EXPECT_DOUBLE_EQ(m_chain.GetChannelSum(channel), sums[channel - 1]) << channel;
    EXPECT_FALSE(histogram.IsCounting()) << "the counts are kept for the reader";
    ExpectOk(m_chain.KelvraFilterStopWatching(&histogram));
    ExpectOk(KelvraDataDisconnect(m_image, &histogram));
}

// Counts the notices of one code that reach it.
class CountingSink : public IKelvraDataDestination {
public:
    explicit CountingSink(long code) : m_code(code) {}
    IKelvraError* KelvraNotify(IKelvraDataSource*, long code, void*) override
    {
        count += code == m_code ? 1 : 0;
        return nullptr;
    }
    int count = 0;

private:
    long m_code;
};

TEST_F(ChainReports, TheGridIsLaidOutForWhatIsInView)
{
    CountingSink sink(7);
    ASSERT_EQ(m_chain.ConnectDestination(&sink), 0);
    auto* grid = dynamic_cast<CKelvraFilterGrid*>(m_chain.GetSlot(TlChainSlots::kGrid));
    ASSERT_NE(grid, nullptr);
    STlChainView view;
    view.visible = KelvraDblRect(10, 20, 410, 321);
    view.referenceScale = 2.0;
    view.displayScale = 4.0;

    EXPECT_TRUE(m_chain.FitGrid(&view, false));
    long width = 0;
    long height = 0;
    double scale = 0;
    ExpectOk(grid->GetAssumedImageSize(&width, &height, &scale));
    EXPECT_EQ(width, 100);
    EXPECT_EQ(height, 75) << "truncated";
    EXPECT_EQ(scale, 4.0);
    EXPECT_EQ(sink.count, 1);

    EXPECT_FALSE(m_chain.FitGrid(&view, false)) << "nothing changed";
    EXPECT_EQ(sink.count, 1);
    EXPECT_TRUE(m_chain.FitGrid(&view, true));
    EXPECT_EQ(sink.count, 2);

    EXPECT_FALSE(m_chain.FitGrid(nullptr, true));
    view.displayScale = 0.0;
    EXPECT_FALSE(m_chain.FitGrid(&view, true)) << "no scale to divide by";
    EXPECT_EQ(m_chain.DisconnectDestination(&sink), 0);
}

TEST_F(ChainReports, NoGridToFitWithoutAGridSlot)
{
    STlChainView view;
    view.visible = KelvraDblRect(0, 0, 100, 100);
    CTlCadraFilterChain quick;
    quick.SetMode(1);
    EXPECT_FALSE(quick.FitGrid(&view, true)) << "not built";
    ASSERT_EQ(Build(quick), 0);
    EXPECT_FALSE(quick.FitGrid(&view, true)) << "mode 1 has no grid";
}

TEST(ChainSourceShrink, RecordedSizeOverSourceSizeAndNeverBelowOne)
{
    IKelvraManager* manager = nullptr;
    ASSERT_EQ(nullptr, IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &manager));
    constexpr KelvraPixelFormat kMosaic = 0x10020401;
    struct {
        const char* what;
        long width;
        long height;
        KelvraPixelFormat format;
        bool tags;
        std::int32_t recordedWidth;
        std::int32_t recordedHeight;
        int expected;
    } const cases[] = {
        {"same size", 60, 40, kKelvraRGB16, true, 60, 40, 1},
        {"a quarter", 60, 40, kKelvraRGB16, true, 240, 160, 4},
        {"mosaic border", 72, 52, kMosaic, true, 240, 160, 4},
        {"mosaic at full size", 72, 52, kMosaic, true, 60, 40, 1},
        {"smaller than recorded by less than twice", 60, 40, kKelvraRGB16, true, 90, 60, 1},
        {"nothing recorded", 60, 40, kKelvraRGB16, true, 0, 0, 1},
        {"mosaic under the border", 10, 10, kMosaic, true, 240, 160, 1},
        {"no size tags", 60, 40, kKelvraRGB16, false, 0, 0, 1},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.what);
        IKelvraImage* image = MakeBlankImage(manager, entry.width, entry.height, entry.format);
        ASSERT_NE(image, nullptr);
        PellioTagsPtr tags = raw_test::MakeTags();
        if (entry.tags) {
            raw_test::SetLong(*tags, 0x10000, std::uint32_t(entry.recordedWidth));
            raw_test::SetLong(*tags, 0x10001, std::uint32_t(entry.recordedHeight));
        }
        EXPECT_EQ(CTlCadraFilterChain::GetSourceShrink(image, tags.get()), entry.expected);
        EXPECT_EQ(CTlCadraFilterChain::GetSourceShrink(nullptr, tags.get()), 1);
        EXPECT_EQ(CTlCadraFilterChain::GetSourceShrink(image, nullptr), 1);
        image->Release();
    }
    manager->Release();
}
