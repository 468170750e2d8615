#include "chain/TlChainSlots.h"

#include "filters/autobrightness/TlAutoBrightnessFilter.h"
#include "filters/channelmixer/TlChannelMixerFilter.h"
#include "filters/chromabooster/TlChromaBoosterFilter.h"
#include "filters/colornoise/TlColorNoiseReductionFilter.h"
#include "filters/debayer/TlDeBayerHQFilter.h"
#include "filters/debayer/TlDeBayerStdFilter.h"
#include "filters/dust/TlDustFilter.h"
#include "filters/fineedge/TlFineEdgeFilter.h"
#include "filters/fisheye/TlFisheyeFilter.h"
#include "filters/lch/TlFltLch.h"
#include "filters/lostdetail/TlShowLostDetailFilter.h"
#include "filters/moire/TlMoireFilter.h"
#include "filters/placeholder/TlPlaceHolderFilter.h"
#include "filters/redeye/TlRedEyeFilter.h"
#include "filters/revelation/TlRevelationFilter.h"
#include "filters/saturation/TlSaturationCompensationFilter.h"
#include "filters/vignette/TlVignetteFilter.h"
#include "filters/visualcrop/TlVisualCropFilter.h"
#include "filtrix/BGRizeFilter.h"
#include "filtrix/CropFilter.h"
#include "filtrix/KelvraFilterCML.h"
#include "filtrix/KelvraFilterColorSpace.h"
#include "filtrix/KelvraFilterGrid.h"
#include "filtrix/KelvraFilterHistogram.h"
#include "filtrix/KelvraFilterLut.h"
#include "filtrix/KelvraFilterScale.h"
#include "filtrix/KelvraFilterTransform.h"
#include "filtrix/UnsharpMaskFilter.h"

namespace TlChainSlots {

namespace {

// The placeholder of the linear part is known by this number, not by
// letters.
constexpr KelvraTag kLinearPlaceHolderId = 0x5742;

bool IsQuickMode(std::uint32_t mode)
{
    return mode == 1;
}

std::unique_ptr<CKelvraFilterBase> MakeOutsideFilter(int slot, IKelvraManager* manager, long method)
{
    switch (slot) {
    case kInitialLut: case kSquareLut: case kRootLut: case kToneLut:
    case kFirstCurveLut: case kSecondCurveLut: case kFixedToneLut: case kHueLut:
        return std::make_unique<CKelvraFilterLut>(manager);
    case kLabStage: case kLchStage: case kOutputStage: case kMonitorStage:
        return std::make_unique<CKelvraFilterCML>(manager);
    case kFirstHistogram: case kCropHistogram: case kLastHistogram:
        return std::make_unique<CKelvraFilterHistogram>(manager);
    case kFirstScale: case kSecondScale: case kEnlargeScale: case kRemainderScale: case kAreaScale:
        return std::make_unique<CKelvraFilterScale>(manager, method);
    case kTransform:
        return std::make_unique<CKelvraFilterTransform>(manager);
    case kFirstUsm: case kSecondUsm:
        return std::make_unique<CUnsharpMaskFilter>(manager);
    case kGrid:
        return std::make_unique<CKelvraFilterGrid>(manager);
    case kChannelOrder:
        return std::make_unique<CBGRizeFilter>(manager);
    case kCrop:
        return std::make_unique<CCropFilter>(manager);
    case kColourSpace:
        return std::make_unique<CKelvraFilterColorSpace>(manager);
    default:
        return nullptr;
    }
}

std::unique_ptr<CKelvraFilterBase> MakeOwnFilter(int slot, IKelvraManager* manager)
{
    switch (slot) {
    case kStdDeBayer: return std::make_unique<CDeBayerStdFilter>(manager);
    case kHqDeBayer: return std::make_unique<CDeBayerHQFilter>(manager);
    case kColourNoise: return std::make_unique<CColorNoiseReductionFilter>(manager);
    case kFineEdge: return std::make_unique<CFineEdgeFilter>(manager);
    case kSaturation: return std::make_unique<CSaturationCompensationFilter>(manager);
    case kVignette: return std::make_unique<CVignetteFilter>(manager);
    case kMixer: return std::make_unique<CChannelMixerFilter>(manager);
    case kLostDetail: return std::make_unique<CShowLostDetailFilter>(manager);
    case kVisualCrop: return std::make_unique<CVisualCropFilter>(manager);
    case kInfoPlaceHolder: return std::make_unique<CPlaceHolderFilter>(manager, TlFilterId("Info"));
    case kDust: return std::make_unique<CDustFilter>(manager);
    case kRevelation: return std::make_unique<CRevelationFilter>(manager);
    case kLinearPlaceHolder: return std::make_unique<CPlaceHolderFilter>(manager, kLinearPlaceHolderId);
    case kFisheye: return std::make_unique<CFisheyeFilter>(manager);
    case kLch: return std::make_unique<CFltLch>(manager);
    case kChromaBoost: return std::make_unique<CChromaBoosterFilter>(manager);
    case kRedEye: return std::make_unique<CRedEyeFilter>(manager);
    case kMoire: return std::make_unique<CMoireFilter>(manager);
    case kAutoBrightness: return std::make_unique<CAutoBrightnessFilter>(manager);
    default: return nullptr;
    }
}

} // namespace

// The slots every mode has come first; the full and reduced previews' own
// follow.
std::vector<int> CreationOrder(std::uint32_t mode)
{
    std::vector<int> order{kStdDeBayer, kInitialLut, kTransform, kLabStage,  kFisheye,
                           kLch,        kChromaBoost, kFirstScale, kAreaScale, kChannelOrder};
    if (IsQuickMode(mode))
        return order;
    order.insert(order.end(), {kHqDeBayer,     kSquareLut,   kRootLut,      kToneLut,       kLchStage,
                               kOutputStage,   kMonitorStage, kFirstHistogram, kCropHistogram, kLastHistogram,
                               kFirstUsm,      kSecondUsm,   kGrid,         kColourNoise,   kFineEdge,
                               kSaturation,    kVignette,    kFirstCurveLut, kSecondCurveLut, kMixer,
                               kFixedToneLut,  kLostDetail,  kDust,         kRevelation,    kCrop,
                               kRedEye,        kMoire,       kHueLut,       kAutoBrightness, kSecondScale,
                               kEnlargeScale,  kRemainderScale});
    if (mode >= 2)
        order.push_back(kColourSpace);
    else
        order.insert(order.end(), {kVisualCrop, kInfoPlaceHolder, kLinearPlaceHolder});
    return order;
}

std::vector<int> ChainOrder(std::uint32_t mode)
{
    return TlStageOrder::PreviewOrder(mode);
}

long CreationScaleMethod(int slot, std::uint32_t mode, std::uint32_t scaleMethod)
{
    if (slot == kAreaScale)
        return CKelvraFilterScale::kArea;
    if (mode >= 2)
        return long(scaleMethod);
    // The second to the remainder scale exist in mode 0 only.
    switch (slot) {
    case kEnlargeScale: return CKelvraFilterScale::kArea;
    case kRemainderScale: return CKelvraFilterScale::kNearest;
    default: return CKelvraFilterScale::kBilinear;
    }
}

std::unique_ptr<CKelvraFilterBase> MakeSlotFilter(int slot, IKelvraManager* manager, std::uint32_t mode,
                                                  std::uint32_t scaleMethod)
{
    if (std::unique_ptr<CKelvraFilterBase> filter = MakeOwnFilter(slot, manager))
        return filter;
    return MakeOutsideFilter(slot, manager, CreationScaleMethod(slot, mode, scaleMethod));
}

} // namespace TlChainSlots
