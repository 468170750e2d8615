// What the end-to-end preview tests share: a synthetic raw file opened
// through the image control with its preview chain built, the preview read
// and measured against the scene, and comparisons of whole previews.
#pragma once

#include "DevelopEnvironment.h"
#include "DevelopedPatchesSupport.h"

#include "chain/TlCadraFilterChain.h"
#include "params/TlvParamSet.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveImage.h"
#include "filtrix/KelvraFilterBase.h"
#include "kelvra/KelvraFilterChain.h"

#include <memory>
#include <set>
#include <string>

namespace preview_test {

constexpr long kWidth = 480;
constexpr long kHeight = 320;

// A display that records which filters a change began at.
class RecordingDisplay : public IKelvraDataDestination {
public:
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void*) override
    {
        if (code == kKelvraNotifyData || code == kKelvraNotifyUpdateAll)
            senders.insert(source);
        return nullptr;
    }
    std::set<IKelvraDataSource*> senders;
};

class PreviewEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_environment.IsReady());
        m_raw = m_environment.WriteRaw("scene.qrf", SceneOptions(m_width, m_height));
        ASSERT_FALSE(m_raw.empty());
    }

    // The control over the raw file with its preview chain built.
    SOpenedRaw Open()
    {
        SOpenedRaw opened = m_environment.Open(m_raw);
        EXPECT_NE(nullptr, opened.control);
        if (opened.control != nullptr) {
            IKelvraFilterChain* chain = nullptr;
            ExpectOk(opened.control->GetFilterChain(&chain), "preview");
            EXPECT_NE(nullptr, chain);
        }
        return opened;
    }
    // The preview as the display reads it; empty without a chain.
    static SampleGrid Preview(CTlvQrfControl& control)
    {
        IKelvraFilterChain* chain = control.GetFilterChain();
        return chain != nullptr ? ReadSampleGrid(chain) : SampleGrid();
    }
    // The preview's full-scale sample: its depth follows the source's.
    static unsigned PreviewMax(CTlvQrfControl& control)
    {
        KelvraPixelFormat format = 0;
        IKelvraFilterChain* chain = control.GetFilterChain();
        if (chain != nullptr)
            ExpectOk(chain->GetColorSpace(&format), "preview format");
        return KelvraIs16Bit(format) ? 65535 : 255;
    }
    patches_test::SPatchReport Measure(const SampleGrid& grid, unsigned maxValue, double scale = 1.0)
    {
        const patches_test::CPatchTruth truth(m_environment.OutputProfile());
        EXPECT_TRUE(truth.IsReady());
        return patches_test::MeasurePatches(grid, maxValue, CQrfScene(m_width, m_height),
                                            patches_test::CentredPlacement(m_width, m_height, grid.width,
                                                                           grid.height, scale),
                                            truth);
    }
    // The export of the settings `control` shows has the preview's size and
    // its colours, which are the scene's.
    void ExpectExportMatchesPreview(CTlvQrfControl& control)
    {
        const SampleGrid preview = Preview(control);
        const std::string target = m_environment.Files().File("export.tif");
        std::unique_ptr<CTlvParamSet> params(control.CreateParamSet());
        ASSERT_EQ(0, SaveImageToFile(params.get(), target.c_str(), 0, kPellioFormatTiff, 0, false));
        const patches_test::SImageFile exported = patches_test::ReadImageFile(target);
        ASSERT_EQ(3, preview.planes);
        ASSERT_EQ(exported.grid.width, preview.width);
        ASSERT_EQ(exported.grid.height, preview.height);
        const double scale = double(preview.width) / double(m_width - 12);
        const patches_test::SPatchReport previewReport = Measure(preview, PreviewMax(control), scale);
        const patches_test::SPatchReport exportReport = Measure(exported.grid, 255, scale);
        SCOPED_TRACE("preview:\n" + previewReport.Describe() + "export:\n" + exportReport.Describe());
        patches_test::ExpectPatchesWithinTolerance(previewReport);
        patches_test::ExpectPatchesWithinTolerance(exportReport);
        EXPECT_LE(patches_test::LargestPatchDifference(previewReport, exportReport), patches_test::kSameScaleError);
    }
    patches_test::SPatchReport MeasurePreview(CTlvQrfControl& control, double scale = 1.0)
    {
        return Measure(Preview(control), PreviewMax(control), scale);
    }

    // The raw file's mosaic.
    long m_width = kWidth;
    long m_height = kHeight;
    CDevelopEnvironment m_environment;
    std::string m_raw;
};

inline CKelvraFilterBase* Slot(CTlvQrfControl& control, int slot)
{
    auto* chain = dynamic_cast<CTlCadraFilterChain*>(control.GetEditChain());
    return chain != nullptr ? chain->GetSlot(slot) : nullptr;
}

inline bool SentBy(const RecordingDisplay& display, CKelvraFilterBase* filter)
{
    return filter != nullptr && display.senders.count(static_cast<IKelvraDataSource*>(filter)) != 0;
}

// `to` turned a quarter clockwise from `from`, pixel for pixel.
inline bool TurnedClockwise(const SampleGrid& from, const SampleGrid& to)
{
    if (to.width != from.height || to.height != from.width || to.planes != from.planes)
        return false;
    for (long y = 0; y < from.height; ++y) {
        for (long x = 0; x < from.width; ++x) {
            for (long c = 0; c < from.planes; ++c) {
                if (from.At(x, y, c) != to.At(from.height - 1 - y, x, c))
                    return false;
            }
        }
    }
    return true;
}

inline bool SameGrid(const SampleGrid& a, const SampleGrid& b)
{
    return a.width == b.width && a.height == b.height && a.planes == b.planes && a.samples == b.samples;
}

inline double Green(const patches_test::SPatchResult& patch)
{
    return patch.measured[1];
}

} // namespace preview_test
