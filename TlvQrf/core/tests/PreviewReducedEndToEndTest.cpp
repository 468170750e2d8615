// A preview far smaller than the picture, as a browser shows it: the mosaic
// is developed from block means at a fraction of its size. The preview
// still shows the scene's colours as the export of the same scale does,
// and a slider moved after the first build redoes only what follows it and
// ends with the pixels a preview built afresh with that setting shows; the
// first read keeps what it made for the next.
#include "PreviewEndToEndSupport.h"

#include "filters/debayer/TlDeBayerFilterBase.h"

using namespace preview_test;

namespace {

// The exposure one stop up, the preview told through the adjustment raw
// option as a host's slider tells it (the control's own Update would remake
// the preview at the holder's view scale, the full size).
void ExposureUp(CTlvQrfControl& control)
{
    control.adjustUsed = 1;
    control.adjust.value = 1.0;
    constexpr std::uint32_t kAdjustmentOption = 3;
    TlvQrfLib::strTlnAdjustmentOption exposure{sizeof exposure, 0, 1.0};
    TlvQrfLib::strTlnRawOption option{sizeof option, kAdjustmentOption, &exposure};
    ExpectOk(control.SetRawOption(&option), "exposure");
}

// A mosaic whose picture (960 x 640) a quarter-size preview shows reduced.
class PreviewReducedEndToEnd : public PreviewEndToEnd {
protected:
    static constexpr std::uint32_t kShownWidth = 240;
    static constexpr std::uint32_t kShownHeight = 160;

    PreviewReducedEndToEnd()
    {
        m_width = 972;
        m_height = 652;
    }
    static long Reduction(CTlvQrfControl& control)
    {
        auto* deBayer = dynamic_cast<CDeBayerFilterBase*>(Slot(control, TlChainSlots::kStdDeBayer));
        return deBayer != nullptr && deBayer->IsEnabled() ? deBayer->GetReduction() : 0;
    }
};

TEST_F(PreviewReducedEndToEnd, ShowsTheScenesColoursAsTheExportOfTheSameScale)
{
    SOpenedRaw opened = Open();
    ASSERT_NE(nullptr, opened.control);
    ASSERT_TRUE(ShowPreviewAt(*opened.control, kShownWidth, kShownHeight, 1));
    EXPECT_EQ(2, Reduction(*opened.control));
    const SampleGrid preview = Preview(*opened.control);
    EXPECT_EQ(long(kShownWidth), preview.width);
    EXPECT_EQ(long(kShownHeight), preview.height);
    ExpectExportMatchesPreview(*opened.control);
}

TEST_F(PreviewReducedEndToEnd, ExposureMovedAfterTheBuildEqualsAFreshBuild)
{
    SOpenedRaw moved = Open();
    ASSERT_NE(nullptr, moved.control);
    CTlvQrfControl& control = *moved.control;
    ASSERT_TRUE(ShowPreviewAt(control, kShownWidth, kShownHeight, 1));
    RecordingDisplay display;
    ASSERT_EQ(0u, control.Connect(&display));
    // Reading the preview completes its histograms, which changes no pixel:
    // what was made stays for the next read.
    const SampleGrid before = Preview(control);
    EXPECT_TRUE(display.senders.empty());
    ExposureUp(control);
    const SampleGrid after = Preview(control);
    EXPECT_FALSE(SameGrid(before, after)) << "the exposure shows";
    for (int upstream : {TlChainSlots::kStdDeBayer, TlChainSlots::kInitialLut, TlChainSlots::kRootLut,
                         TlChainSlots::kFirstScale}) {
        EXPECT_FALSE(SentBy(display, Slot(control, upstream))) << "slot " << upstream << " redone";
    }
    EXPECT_EQ(0u, control.DisConnect(&display));

    SOpenedRaw fresh = m_environment.Open(m_raw);
    ASSERT_NE(nullptr, fresh.control);
    ExposureUp(*fresh.control);
    ASSERT_TRUE(ShowPreviewAt(*fresh.control, kShownWidth, kShownHeight, 1));
    IKelvraFilterChain* chain = nullptr;
    ExpectOk(fresh.control->GetFilterChain(&chain), "fresh preview");
    EXPECT_EQ(2, Reduction(*fresh.control));
    EXPECT_TRUE(SameGrid(Preview(*fresh.control), after));
}

} // namespace
