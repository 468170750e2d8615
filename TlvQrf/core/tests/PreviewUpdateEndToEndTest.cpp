// A synthetic raw file opened through the image control as a host opens
// it, with the real preview chain on the library's own filters: the
// developed preview measured against the scene, slider changes that redo
// only the work after the filter they belong to, quarter turns, and two
// controls updating at once; and the export of the same settings.
#include "PreviewEndToEndSupport.h"

#include "frame/TlSaveProgress.h"
#include "params/TlvParamSet.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveImage.h"
#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroupDefaults.h"

#include <algorithm>
#include <functional>
#include <string>
#include <thread>

using namespace patches_test;
using namespace preview_test;

// As opened, the preview has the developed size and the source's depth; a
// host asks for a smaller, 8-bit one through the image information, and
// the developed picture (not the mosaic with its border) comes out at the
// size asked, the other side following the picture's aspect.
TEST_F(PreviewEndToEnd, PreviewShowsTheScenesColours)
{
    const long fullWidth = kWidth - 12, fullHeight = kHeight - 12;
    const struct {
        const char* name;
        std::uint32_t width, height, bytes; // 0: as opened
        long shownWidth, shownHeight;
        unsigned maxValue;
    } cases[] = {
        {"as opened", 0, 0, 0, fullWidth, fullHeight, 65535},
        {"half size, 8 bits", fullWidth / 2, fullHeight / 2, 1, fullWidth / 2, fullHeight / 2, 255},
        {"half the mosaic's width, 8 bits", kWidth / 2, kHeight / 2, 1, kWidth / 2, 158, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SOpenedRaw opened = Open();
        ASSERT_NE(nullptr, opened.control);
        CTlvQrfControl& control = *opened.control;
        if (c.width != 0) {
            ASSERT_TRUE(ShowPreviewAt(control, c.width, c.height, c.bytes));
        }
        const SampleGrid grid = Preview(control);
        EXPECT_EQ(c.shownWidth, grid.width);
        EXPECT_EQ(c.shownHeight, grid.height);
        EXPECT_EQ(c.maxValue, PreviewMax(control));
        ExpectPatchesWithinTolerance(Measure(grid, PreviewMax(control), double(grid.width) / fullWidth));
    }
}

// The cameras the signal-processing library develops frame their picture
// without a border: asked for half of it, the preview is exactly half, also
// turned a quarter.
TEST_F(PreviewEndToEnd, SignalProcessingCamerasShowAtTheAskedSize)
{
    const struct {
        std::uint32_t model;
        QrfPattern pattern;
        bool turned;
    } cases[] = {{513, QrfPattern::YCGM, false}, {516, QrfPattern::BGGR, false}, {516, QrfPattern::BGGR, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.model) + (c.turned ? ", turned" : ""));
        QrfRawOptions options = SceneOptions(kWidth, kHeight);
        options.model = c.model;
        options.pattern = c.pattern;
        SOpenedRaw opened = m_environment.Open(m_environment.WriteRaw("signal.qrf", options));
        ASSERT_NE(nullptr, opened.control);
        CTlvQrfControl& control = *opened.control;
        IKelvraFilterChain* chain = nullptr;
        ExpectOk(control.GetFilterChain(&chain), "preview");
        ASSERT_NE(nullptr, chain);
        if (c.turned) {
            ASSERT_EQ(0u, control.RotateCW());
        }
        const SampleGrid developed = Preview(control);
        ASSERT_GT(developed.width, 0);
        ASSERT_EQ(0, developed.width % 2);
        ASSERT_EQ(0, developed.height % 2);
        ASSERT_TRUE(ShowPreviewAt(control, std::uint32_t(developed.width / 2), std::uint32_t(developed.height / 2), 1));
        const SampleGrid half = Preview(control);
        EXPECT_EQ(developed.width / 2, half.width);
        EXPECT_EQ(developed.height / 2, half.height);
    }
}

// Each slider moves the patches its way, and the work before the filter
// it belongs to (De-Bayer and the initial tables) is not redone.
TEST_F(PreviewEndToEnd, SliderChangesMoveThePatchesAndRedoOnlyWhatFollows)
{
    const struct {
        const char* name;
        std::uint32_t changes;
        int slot; // the filter the change belongs to
        std::function<void(CTlvQrfControl&)> apply;
        std::function<bool(const SPatchResult& before, const SPatchResult& after)> moved; // each grey step
    } cases[] = {
        {"exposure one stop up", ITlvQrfData::eAdjustment, TlChainSlots::kToneLut,
         [](CTlvQrfControl& c) {
             c.adjustUsed = 1;
             c.adjust.value = 1.0;
         },
         [](const SPatchResult& before, const SPatchResult& after) {
             return Green(after) > Green(before) || Green(before) > 0.99;
         }},
        {"warmer white balance", ITlvQrfData::eWhiteBalance, TlChainSlots::kToneLut,
         [](CTlvQrfControl& c) {
             c.whiteBalanceUsed = 1;
             c.whiteBalance.mode = CTlWhiteBalanceState::kModeGains;
             c.whiteBalance.firstGain = 2.0 * 1.25; // the as-shot gains times a warmer light
             c.whiteBalance.secondGain = 1.5 / 1.25;
         },
         [](const SPatchResult&, const SPatchResult& after) {
             const double* m = after.measured;
             return (m[0] > m[1] && m[1] > m[2]) || m[1] > 0.99 || m[1] < 0.05;
         }},
        {"curve lifting the shadows", ITlvQrfData::eToneCurves, TlChainSlots::kSecondCurveLut,
         [](CTlvQrfControl& c) {
             c.toneCurvesUsed = 1;
             ASSERT_TRUE(TlSetDefaultChannels(c.toneCurves, kTlLutGroupToneCurves));
             auto* master = dynamic_cast<CTlLut*>(c.toneCurves.Find(0));
             ASSERT_NE(nullptr, master);
             master->SetOutputLevels(0.25, 1.0);
         },
         [](const SPatchResult& before, const SPatchResult& after) {
             return Green(after) > Green(before) || Green(before) > 0.99;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SOpenedRaw opened = Open();
        ASSERT_NE(nullptr, opened.control);
        CTlvQrfControl& control = *opened.control;
        const SPatchReport before = MeasurePreview(control);
        RecordingDisplay display;
        ASSERT_EQ(0u, control.Connect(&display));
        c.apply(control);
        EXPECT_EQ(0u, control.Update(c.changes, false, nullptr));
        const SPatchReport after = MeasurePreview(control);
        SCOPED_TRACE("before:\n" + before.Describe() + "after:\n" + after.Describe());
        ASSERT_EQ(before.patches.size(), after.patches.size());
        for (std::size_t i = 0; i < after.patches.size(); ++i) {
            if (after.patches[i].neutral) {
                EXPECT_TRUE(c.moved(before.patches[i], after.patches[i])) << "grey step " << i;
            }
        }
        EXPECT_TRUE(SentBy(display, Slot(control, c.slot))) << "its filter changed";
        for (int upstream : {TlChainSlots::kStdDeBayer, TlChainSlots::kHqDeBayer, TlChainSlots::kInitialLut,
                             TlChainSlots::kSquareLut, TlChainSlots::kRootLut}) {
            EXPECT_FALSE(SentBy(display, Slot(control, upstream))) << "slot " << upstream << " redone";
        }
        if (c.slot != TlChainSlots::kToneLut) {
            EXPECT_FALSE(SentBy(display, Slot(control, TlChainSlots::kToneLut))) << "tone table redone";
        }
        EXPECT_EQ(0u, control.DisConnect(&display));
    }
}

// The detail settings switch the colour noise reduction, the moire removal
// and the fine edge filter on in the preview at the developed size: the
// picture changes, its flat patches keep the scene's colours, and the
// export of the same settings still matches it.
TEST_F(PreviewEndToEnd, DetailFiltersKeepThePreviewsColours)
{
    SOpenedRaw opened = Open();
    ASSERT_NE(nullptr, opened.control);
    CTlvQrfControl& control = *opened.control;
    const SampleGrid before = Preview(control);
    control.tripleValueUsed = 1;
    control.tripleValue.first = 10; // noise reduction at full strength
    control.tripleValue.second = 3; // moire strength 75
    control.tripleValue.flag = true; // fine edge
    EXPECT_EQ(0u, control.Update(ITlvQrfData::eDetail, false, nullptr));
    const SampleGrid after = Preview(control);
    EXPECT_FALSE(before.samples == after.samples) << "the detail filters must run";
    const SPatchReport previewReport = Measure(after, PreviewMax(control));
    ExpectPatchesWithinTolerance(previewReport);

    const std::string target = m_environment.Files().File("detailed.tif");
    std::unique_ptr<CTlvParamSet> params(control.CreateParamSet());
    ASSERT_EQ(0, SaveImageToFile(params.get(), target.c_str(), 1, kPellioFormatTiff, 1, false));
    const SPatchReport exportReport = Measure(ReadImageFile(target).grid, 65535);
    SCOPED_TRACE("preview:\n" + previewReport.Describe() + "export:\n" + exportReport.Describe());
    EXPECT_LE(LargestPatchDifference(previewReport, exportReport), kSameScaleError);
}

// The export of the settings the preview shows has the preview's size and
// its colours: at the developed size, and at the smaller size a host asks
// for through the image information.
TEST_F(PreviewEndToEnd, ExportMatchesThePreviewAtTheSameScale)
{
    const struct {
        const char* name;
        std::uint32_t width, height; // 0: as opened
    } cases[] = {{"as opened", 0, 0}, {"half size", (kWidth - 12) / 2, (kHeight - 12) / 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SOpenedRaw opened = Open();
        ASSERT_NE(nullptr, opened.control);
        if (c.width != 0) {
            ASSERT_TRUE(ShowPreviewAt(*opened.control, c.width, c.height, 1));
        }
        ExpectExportMatchesPreview(*opened.control);
    }
}

TEST_F(PreviewEndToEnd, QuarterTurnsAreExact)
{
    SOpenedRaw opened = Open();
    ASSERT_NE(nullptr, opened.control);
    CTlvQrfControl& control = *opened.control;
    const SampleGrid upright = Preview(control);
    ASSERT_EQ(3, upright.planes);
    ASSERT_EQ(0u, control.RotateCW());
    const SampleGrid quarter = Preview(control);
    EXPECT_TRUE(TurnedClockwise(upright, quarter));
    ASSERT_EQ(0u, control.RotateCW());
    EXPECT_TRUE(TurnedClockwise(quarter, Preview(control)));
    ASSERT_EQ(0u, control.RotateCCW());
    ASSERT_EQ(0u, control.RotateCCW());
    EXPECT_TRUE(SameGrid(upright, Preview(control))) << "turned back, the preview is as it was";
}

// Two controls, each on its own thread, move their exposure many times;
// an update that finds the other running must not lose its change, so each
// preview ends as a control built with its last value shows it.
TEST_F(PreviewEndToEnd, TwoControlsUpdatingAtOnceLoseNoChange)
{
    constexpr int kRounds = 40;
    const double finals[2] = {1.0, -1.0};
    SOpenedRaw opened[2] = {Open(), Open()};
    ASSERT_NE(nullptr, opened[0].control);
    ASSERT_NE(nullptr, opened[1].control);
    unsigned long failures[2] = {};
    auto slide = [&](int which) {
        CTlvQrfControl& control = *opened[which].control;
        control.adjustUsed = 1;
        for (int round = 0; round <= kRounds; ++round) {
            control.adjust.value = round == kRounds ? finals[which] : 0.05 * (round % 7);
            failures[which] += control.Update(ITlvQrfData::eAdjustment, false, nullptr) != 0 ? 1 : 0;
        }
    };
    std::thread first(slide, 0), second(slide, 1);
    first.join();
    second.join();
    for (int which : {0, 1}) {
        SCOPED_TRACE(which);
        EXPECT_EQ(0u, failures[which]);
        SOpenedRaw reference = m_environment.Open(m_raw);
        ASSERT_NE(nullptr, reference.control);
        reference.control->adjustUsed = 1;
        reference.control->adjust.value = finals[which];
        IKelvraFilterChain* chain = nullptr;
        ExpectOk(reference.control->GetFilterChain(&chain), "reference");
        EXPECT_TRUE(SameGrid(Preview(*reference.control), Preview(*opened[which].control)));
    }
}

namespace {

// The mean, before and after, of the samples that were in the darkest
// quarter of the scale before.
std::pair<double, double> ShadowMeans(const SampleGrid& before, const SampleGrid& after, unsigned maxValue)
{
    double sumBefore = 0, sumAfter = 0;
    long count = 0;
    for (std::size_t i = 0; i < before.samples.size() && i < after.samples.size(); ++i) {
        if (before.samples[i] < maxValue / 4) {
            sumBefore += before.samples[i];
            sumAfter += after.samples[i];
            ++count;
        }
    }
    return count ? std::make_pair(sumBefore / double(count), sumAfter / double(count)) : std::make_pair(0.0, 0.0);
}

// The figures a save reports to the job that runs it.
class RecordingSaveSink : public ITlSaveProgressSink {
public:
    void Reset(long, long) override {}
    void Notify() override {}
    bool Progress(long position, long) override
    {
        figures.push_back(position);
        return false;
    }
    void SetEnabled(bool) override {}
    std::vector<long> figures;
};

void SetRevelation(CTlvQrfControl& control)
{
    control.revelationUsed = 1;
    control.revelation.first = 120; // shadows lifted
    control.revelation.second = 60; // highlights held
    control.revelation.third = 190;
}

} // namespace

// A Revelation record that is not at its defaults switches the filter on
// in the preview: the engine's two passes run and the shadows come up.
TEST_F(PreviewEndToEnd, RevelationLiftsThePreviewsShadows)
{
    SOpenedRaw opened = Open();
    ASSERT_NE(nullptr, opened.control);
    CTlvQrfControl& control = *opened.control;
    const SampleGrid before = Preview(control);
    SetRevelation(control);
    EXPECT_EQ(0u, control.Update(ITlvQrfData::eRevelation, false, nullptr));
    const SampleGrid after = Preview(control);
    ASSERT_EQ(before.samples.size(), after.samples.size());
    const std::pair<double, double> shadows = ShadowMeans(before, after, PreviewMax(control));
    EXPECT_GT(shadows.second, shadows.first * 1.05) << "the Revelation engine must lift the shadows";
}

// The export of the same settings lifts the shadows as well, and the save's
// progress rises through the statistics and the rendering pass.
TEST_F(PreviewEndToEnd, RevelationExportLiftsShadowsAndReportsBothPasses)
{
    SOpenedRaw opened = Open();
    ASSERT_NE(nullptr, opened.control);
    CTlvQrfControl& control = *opened.control;
    const std::string plain = m_environment.Files().File("plain.tif");
    std::unique_ptr<CTlvParamSet> plainParams(control.CreateParamSet());
    ASSERT_EQ(0, SaveImageToFile(plainParams.get(), plain.c_str(), 1, kPellioFormatTiff, 1, false));

    SetRevelation(control);
    RecordingSaveSink sink;
    TlSaveProgressState state = GetSaveProgressState();
    state.sink = &sink;
    const TlSaveProgressState previous = ExchangeSaveProgressState(state);
    const std::string revealed = m_environment.Files().File("revealed.tif");
    std::unique_ptr<CTlvParamSet> params(control.CreateParamSet());
    const int result = SaveImageToFile(params.get(), revealed.c_str(), 1, kPellioFormatTiff, 1, false);
    ExchangeSaveProgressState(previous);
    ASSERT_EQ(0, result);

    const std::pair<double, double> shadows =
        ShadowMeans(ReadImageFile(plain).grid, ReadImageFile(revealed).grid, 65535);
    EXPECT_GT(shadows.second, shadows.first * 1.05) << "the Revelation engine must lift the shadows";
    ASSERT_FALSE(sink.figures.empty());
    EXPECT_TRUE(std::is_sorted(sink.figures.begin(), sink.figures.end()));
    // The two passes take the analysis share of the save (its first 42
    // points here): figures inside it come from their records.
    EXPECT_GE(std::count_if(sink.figures.begin(), sink.figures.end(), [](long f) { return f > 0 && f < 42; }), 4);
}
