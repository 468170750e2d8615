#include "order/TlStageOrder.h"

namespace TlStageOrder {

namespace {

using namespace TlChainSlots;
using S = TlStage;

constexpr std::uint32_t kEvery = kEveryPreview;
constexpr std::uint32_t kFullReduced = kFullAndReducedPreview;
constexpr std::uint32_t kShared = kFullAndReducedPreview | kFullResolution;
constexpr std::uint32_t kSharedEvery = kEveryPreview | kFullResolution;

const std::vector<STlStageEntry> kOrder = {
    {S::Resolution, "the resolution stage", kNoSlot, kFullResolution,
     "First: it only carries the resolution the file is written with; pixels pass unchanged."},
    {S::StdDeBayer, "the standard De-Bayer", kStdDeBayer, kEvery,
     "Makes RGB of the sensor mosaic; every later stage works on RGB pixels."},
    {S::DeBayer, "the De-Bayer", kHqDeBayer, kShared,
     "The careful De-Bayer of the full preview and of saves, for the same reason right after the mosaic."},
    {S::SquareTable, "the square-law table", kInitialLut, kSharedEvery,
     "Takes the camera's coded data to linear light, which dust, vignette and the tone table expect."},
    {S::Dust, "the dust removal", kDust, kShared,
     "On linear data, before any stage spreads a speck over its neighbours."},
    {S::Vignette, "the vignette correction", kVignette, kShared,
     "The corners' light fall-off is a factor of linear light only."},
    {S::LinearPlaceHolder, "the place holder of the linear part", kLinearPlaceHolder, kFullPreview,
     "Marks the end of the linear part of the full preview for filters placed there."},
    {S::RootTable, "the square-root table", kRootLut, kShared,
     "Back to coded data for moire and Revelation, which are tuned to it."},
    {S::Moire, "the moire removal", kMoire, kShared,
     "On coded data, before white balance gives the false colours their final tint."},
    {S::Revelation, "the Revelation filter", kRevelation, kShared,
     "Analyses the picture before white balance and tone change its levels."},
    {S::PreviewRedEye, "the red-eye removal", kRedEye, kFullReduced,
     "Preview: before the first scale, so it works on the pixels its regions were marked on."},
    {S::FirstScale, "the first scale", kFirstScale, kEvery,
     "Preview: brings the picture near the view's size early, so the stages after it have few pixels."},
    {S::SecondSquareTable, "the square-law table", kSquareLut, kShared,
     "Linear light again for the white-balance table after the stages that needed coded data."},
    {S::CropHistogram, "the histogram of the crop", kCropHistogram, kFullReduced,
     "Preview: measures the raw levels before white balance and tone change them."},
    {S::ToneTable, "the white-balance tone table", kToneLut, kShared,
     "White balance and the camera's tone curve take linear light and end the raw part."},
    {S::RedEye, "the red-eye removal", kNoSlot, kFullResolution,
     "Full resolution: after the tone table, on the developed tones; the chain has no early scale."},
    {S::PreStretch, "the stretch before the lens correction", kNoSlot, kFullResolution,
     "Makes the pixels square before the lens correction, whose model assumes them."},
    {S::Fisheye, "the fisheye correction", kFisheye, kSharedEvery,
     "Corrects the whole frame before anything cuts it."},
    {S::Crop, "the crop", kCrop, kShared, "After the lens correction, so the crop frames the corrected picture."},
    {S::FineEdge, "the fine-edge filter", kFineEdge, kShared, "On the cropped picture, before the colour stages."},
    {S::Lab, "the Lab colour stage", kLabStage, kSharedEvery,
     "Into Lab, where the colour noise reduction separates colour from lightness."},
    {S::ColourNoise, "the colour noise reduction", kColourNoise, kShared, "Works on Lab data."},
    {S::MainScale, "the main scale", kNoSlot, kFullResolution,
     "Full resolution: to the output size once noise is reduced, before the sharpening that depends on it."},
    {S::Lch, "the LCh colour stage", kLchStage, kShared,
     "Into LCh for the hue, saturation and chroma stages after it."},
    {S::HueLut, "the hue and saturation table", kHueLut, kFullReduced,
     "Preview: right after the LCh stage it adjusts; the full-resolution chain puts it into that stage."},
    {S::Saturation, "the saturation compensation", kSaturation, kShared, "Works on LCh data."},
    {S::LastHistogram, "the last histogram", kLastHistogram, kFullReduced,
     "Preview: measures the picture as the colour adjustments left it."},
    {S::ChromaBoost, "the chroma booster", kChromaBoost, kShared, "Works on LCh data, before the user's curves."},
    {S::LchCurves, "the LCH editor", kLch, kShared, "The user's LCh curves, last of the LCh stages."},
    {S::CameraSharpening, "the camera's sharpening", kFirstUsm, kShared,
     "Sharpens the lightness once every LCh change is made."},
    {S::MixerSharpening, "the mixer's sharpening", kSecondUsm, kShared, "Likewise, after the camera's sharpening."},
    {S::ListSharpening, "the listed sharpening", kNoSlot, kFullResolution,
     "Full resolution: the user's sharpening after the presets; the preview inserts its own filters there."},
    {S::OutputColour, "the output colour stage", kOutputStage, kShared,
     "Leaves LCh for the output profile; the stages after it work on output RGB."},
    {S::InfoPlaceHolder, "the place holder of the output part", kInfoPlaceHolder, kFullPreview,
     "Marks the start of the full preview's output part."},
    {S::Transform, "the transform", kNoSlot, kFullResolution,
     "Full resolution: turns the picture once its size is set; the point stages after it do not care."},
    {S::BrightnessHistogram, "the histogram", kNoSlot, kFullResolution,
     "Full resolution: measures the output picture for the auto brightness."},
    {S::CurveTable, "the curve table", kFirstCurveLut, kShared,
     "The user's curves on output RGB, before the auto brightness judges the result."},
    {S::PreviewBrightnessHistogram, "the histogram", kFirstHistogram, kFullReduced,
     "Preview: measures the curved picture for the auto brightness."},
    {S::SecondScale, "the second scale", kSecondScale, kFullReduced,
     "Preview: a second step towards the view's size."},
    {S::SecondCurveTable, "the second curve table", kSecondCurveLut, kFullReduced,
     "Preview: the second curve group, after the scale that keeps it cheap."},
    {S::AutoBrightness, "the auto brightness", kAutoBrightness, kShared,
     "Uses the histogram taken before it, after the curves."},
    {S::ChannelMixer, "the channel mixer", kMixer, kShared, "Mixes the finished colour picture down to grey."},
    {S::ToningTable, "the toning table", kFixedToneLut, kShared, "Tones the mixer's grey."},
    {S::EnlargeScale, "the enlarging scale", kEnlargeScale, kFullReduced,
     "Preview: enlarges past full size only after the work is done."},
    {S::AreaScale, "the area scale", kAreaScale, kFullReduced, "Preview: averages down to the view."},
    {S::LostDetail, "the lost-detail display", kLostDetail, kFullReduced,
     "Preview: marks clipped pixels of the finished picture."},
    {S::MonitorColour, "the monitor colour stage", kMonitorStage, kFullReduced,
     "Preview: into the monitor's profile, last of the colour work."},
    {S::ColourSpace, "the colour space stage", kColourSpace, kReducedPreview | kFullResolution,
     "Reduces the sample depth of the finished picture."},
    {S::Upscale, "the upscale", kNoSlot, kFullResolution,
     "Full resolution: enlarges the finished picture; earlier it would only multiply the work."},
    {S::FinalStretch, "the final stretch", kNoSlot, kFullResolution,
     "Full resolution: the camera's stretch when no scale before took it along."},
    {S::PreviewTransform, "the transform", kTransform, kEvery,
     "Preview: turns the small finished picture for the view."},
    {S::RemainderScale, "the remainder scale", kRemainderScale, kFullReduced,
     "Preview: the last step to the view's size, after the turn."},
    {S::Grid, "the grid", kGrid, kFullReduced, "Preview: drawn over the picture in the view's geometry."},
    {S::VisualCrop, "the visual crop", kVisualCrop, kFullPreview, "Preview: shades what the crop cuts away."},
    {S::ChannelOrder, "the channel order", kChannelOrder, kEvery,
     "Preview: the byte order the display wants, last of all."},
};

} // namespace

const std::vector<STlStageEntry>& StageOrder()
{
    return kOrder;
}

const STlStageEntry& StageEntry(TlStage stage)
{
    // The table lists the stages in the order of their enumeration.
    return kOrder[std::size_t(stage)];
}

const STlStageEntry* PreviewSlotEntry(int slot)
{
    for (const STlStageEntry& entry : kOrder) {
        if (slot != kNoSlot && entry.previewSlot == slot)
            return &entry;
    }
    return nullptr;
}

std::uint32_t PreviewChainOf(std::uint32_t mode)
{
    if (mode == 0)
        return kFullPreview;
    return mode == 1 ? kQuickPreview : kReducedPreview;
}

std::vector<int> PreviewOrder(std::uint32_t mode)
{
    const std::uint32_t chain = PreviewChainOf(mode);
    std::vector<int> slots;
    for (const STlStageEntry& entry : kOrder) {
        if ((entry.chains & chain) != 0 && entry.previewSlot != kNoSlot)
            slots.push_back(entry.previewSlot);
    }
    return slots;
}

std::vector<TlStage> FullResolutionOrder()
{
    std::vector<TlStage> stages;
    for (const STlStageEntry& entry : kOrder) {
        if ((entry.chains & kFullResolution) != 0)
            stages.push_back(entry.stage);
    }
    return stages;
}

bool IsShared(const STlStageEntry& entry)
{
    return (entry.chains & kEveryPreview) != 0 && (entry.chains & kFullResolution) != 0;
}

} // namespace TlStageOrder
