// The order of the library's processing stages, source side first, in one
// table: each stage with the preview slot it fills, the chains it stands in
// and the reason for its place. The preview chain's modes and the
// full-resolution chain take their order from it, so a stage both chains
// share stands in the same place relative to the others in both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The preview chain's 46 filter slots. Their numbers are the preview chain's
// contract with its holder; the order table below names each one.
namespace TlChainSlots {

constexpr int kSlotCount = 46;

enum : int {
    kStdDeBayer = 0,
    kHqDeBayer = 1,
    kInitialLut = 2,
    kSquareLut = 3,
    kRootLut = 4,
    kToneLut = 5,
    kLabStage = 6,
    kLchStage = 7,
    kOutputStage = 8,
    kMonitorStage = 9,
    kFirstHistogram = 10,
    kCropHistogram = 11,
    kLastHistogram = 12,
    kFirstScale = 13,
    kSecondScale = 14,
    kEnlargeScale = 15,
    kRemainderScale = 16,
    kLastMethodScale = 16,
    kAreaScale = 17,
    kTransform = 18,
    kFirstUsm = 19,
    kSecondUsm = 20,
    kGrid = 21,
    kColourNoise = 22,
    kFineEdge = 23,
    kSaturation = 24,
    kVignette = 25,
    kChannelOrder = 26,
    kCrop = 27,
    kFirstCurveLut = 28,
    kSecondCurveLut = 29,
    kColourSpace = 30,
    kMixer = 31,
    kFixedToneLut = 32,
    kLostDetail = 33,
    kVisualCrop = 34,
    kInfoPlaceHolder = 35,
    kDust = 36,
    kRevelation = 37,
    kLinearPlaceHolder = 38,
    kFisheye = 39,
    kLch = 40,
    kChromaBoost = 41,
    kRedEye = 42,
    kMoire = 43,
    kHueLut = 44,
    kAutoBrightness = 45,
};

} // namespace TlChainSlots

namespace TlStageOrder {

enum class TlStage : int {
    Resolution,
    StdDeBayer,
    DeBayer,
    SquareTable,
    Dust,
    Vignette,
    LinearPlaceHolder,
    RootTable,
    Moire,
    Revelation,
    PreviewRedEye,
    FirstScale,
    SecondSquareTable,
    CropHistogram,
    ToneTable,
    RedEye,
    PreStretch,
    Fisheye,
    Crop,
    FineEdge,
    Lab,
    ColourNoise,
    MainScale,
    Lch,
    HueLut,
    Saturation,
    LastHistogram,
    ChromaBoost,
    LchCurves,
    CameraSharpening,
    MixerSharpening,
    ListSharpening,
    OutputColour,
    InfoPlaceHolder,
    Transform,
    BrightnessHistogram,
    CurveTable,
    PreviewBrightnessHistogram,
    SecondScale,
    SecondCurveTable,
    AutoBrightness,
    ChannelMixer,
    ToningTable,
    EnlargeScale,
    AreaScale,
    LostDetail,
    MonitorColour,
    ColourSpace,
    Upscale,
    FinalStretch,
    PreviewTransform,
    RemainderScale,
    Grid,
    VisualCrop,
    ChannelOrder,
};

// The chains a stage stands in.
enum : std::uint32_t {
    kFullPreview = 1u << 0,    // preview mode 0
    kQuickPreview = 1u << 1,   // preview mode 1
    kReducedPreview = 1u << 2, // preview modes 2 and above
    kFullResolution = 1u << 3, // the chain a save develops through
    kEveryPreview = kFullPreview | kQuickPreview | kReducedPreview,
    kFullAndReducedPreview = kFullPreview | kReducedPreview,
};

constexpr int kNoSlot = -1;

struct STlStageEntry {
    TlStage stage;
    const char* name;   // for messages: "the dust removal"
    int previewSlot;    // kNoSlot when the preview has no slot for it
    std::uint32_t chains;
    const char* reason; // why the stage stands where it does
};

// The table, source side first.
const std::vector<STlStageEntry>& StageOrder();
// The entry of `stage`.
const STlStageEntry& StageEntry(TlStage stage);
// The entry of preview slot `slot`; null for a number outside the table.
const STlStageEntry* PreviewSlotEntry(int slot);
// The chains of a preview of `mode`: kFullPreview, kQuickPreview or
// kReducedPreview.
std::uint32_t PreviewChainOf(std::uint32_t mode);
// The slots of a preview chain of `mode`, source side first.
std::vector<int> PreviewOrder(std::uint32_t mode);
// The full-resolution chain's stages in their order; each is appended only
// when its settings ask for it.
std::vector<TlStage> FullResolutionOrder();
// Whether `entry` stands in both a preview chain and the full-resolution
// chain.
bool IsShared(const STlStageEntry& entry);

} // namespace TlStageOrder
