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

// The placeholder of slot 38 is known by this number, not by letters.
constexpr KelvraTag kSlot38Id = 0x5742;

bool IsQuickMode(std::uint32_t mode)
{
    return mode == 1;
}

std::unique_ptr<CKelvraFilterBase> MakeOutsideFilter(int slot, IKelvraManager* manager, long method)
{
    switch (slot) {
    case 2: case 3: case 4: case 5: case 28: case 29: case 32: case 44:
        return std::make_unique<CKelvraFilterLut>(manager);
    case 6: case 7: case 8: case 9:
        return std::make_unique<CKelvraFilterCML>(manager);
    case 10: case 11: case 12:
        return std::make_unique<CKelvraFilterHistogram>(manager);
    case 13: case 14: case 15: case 16: case 17:
        return std::make_unique<CKelvraFilterScale>(manager, method);
    case 18:
        return std::make_unique<CKelvraFilterTransform>(manager);
    case 19: case 20:
        return std::make_unique<CUnsharpMaskFilter>(manager);
    case 21:
        return std::make_unique<CKelvraFilterGrid>(manager);
    case 26:
        return std::make_unique<CBGRizeFilter>(manager);
    case 27:
        return std::make_unique<CCropFilter>(manager);
    case 30:
        return std::make_unique<CKelvraFilterColorSpace>(manager);
    default:
        return nullptr;
    }
}

std::unique_ptr<CKelvraFilterBase> MakeOwnFilter(int slot, IKelvraManager* manager)
{
    switch (slot) {
    case 0: return std::make_unique<CDeBayerStdFilter>(manager);
    case 1: return std::make_unique<CDeBayerHQFilter>(manager);
    case 22: return std::make_unique<CColorNoiseReductionFilter>(manager);
    case 23: return std::make_unique<CFineEdgeFilter>(manager);
    case 24: return std::make_unique<CSaturationCompensationFilter>(manager);
    case 25: return std::make_unique<CVignetteFilter>(manager);
    case 31: return std::make_unique<CChannelMixerFilter>(manager);
    case 33: return std::make_unique<CShowLostDetailFilter>(manager);
    case 34: return std::make_unique<CVisualCropFilter>(manager);
    case 35: return std::make_unique<CPlaceHolderFilter>(manager, TlFilterId("Info"));
    case 36: return std::make_unique<CDustFilter>(manager);
    case 37: return std::make_unique<CRevelationFilter>(manager);
    case 38: return std::make_unique<CPlaceHolderFilter>(manager, kSlot38Id);
    case 39: return std::make_unique<CFisheyeFilter>(manager);
    case 40: return std::make_unique<CFltLch>(manager);
    case 41: return std::make_unique<CChromaBoosterFilter>(manager);
    case 42: return std::make_unique<CRedEyeFilter>(manager);
    case 43: return std::make_unique<CMoireFilter>(manager);
    case 45: return std::make_unique<CAutoBrightnessFilter>(manager);
    default: return nullptr;
    }
}

} // namespace

std::vector<int> CreationOrder(std::uint32_t mode)
{
    std::vector<int> order{0, 2, 18, 6, 39, 40, 41, 13, 17, 26};
    if (IsQuickMode(mode))
        return order;
    order.insert(order.end(), {1,  3,  4,  5,  7,  8,  9,  10, 11, 12, 19, 20, 21, 22, 23, 24, 25,
                               28, 29, 31, 32, 33, 36, 37, 27, 42, 43, 44, 45, 14, 15, 16});
    if (mode >= 2)
        order.push_back(30);
    else
        order.insert(order.end(), {34, 35, 38});
    return order;
}

std::vector<int> ChainOrder(std::uint32_t mode)
{
    if (IsQuickMode(mode))
        return {0, 2, 13, 39, 6, 18, 26};
    if (mode == 0) {
        return {0,  1,  2,  36, 25, 38, 4,  43, 37, 42, 13, 3,  11, 5,  39, 27, 23, 6,  22, 7,  44, 24, 12,
                41, 40, 19, 20, 8,  35, 28, 10, 14, 29, 45, 31, 32, 15, 17, 33, 9,  18, 16, 21, 34, 26};
    }
    return {0,  1,  2,  36, 25, 4,  43, 37, 42, 13, 3,  11, 5,  39, 27, 23, 6,  22, 7,  44, 24, 12,
            41, 40, 19, 20, 8,  28, 10, 14, 29, 45, 31, 32, 15, 17, 33, 9,  30, 18, 16, 21, 26};
}

long CreationScaleMethod(int slot, std::uint32_t mode, std::uint32_t scaleMethod)
{
    if (slot == kAreaScale)
        return CKelvraFilterScale::kArea;
    if (mode >= 2)
        return long(scaleMethod);
    // Slots 14 to 16 exist in mode 0 only.
    switch (slot) {
    case 15: return CKelvraFilterScale::kArea;
    case 16: return CKelvraFilterScale::kNearest;
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
