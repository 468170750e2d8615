// The preview chain's fixed table of 46 filter slots: which slots a chain
// mode creates and in what order, the order in which they stand in the
// chain, and the filter each slot holds. Mode 0 is the full preview, mode 1
// the small quick one, modes 2 and above the preview of a reduced source.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CKelvraFilterBase;
class IKelvraManager;

namespace TlChainSlots {

constexpr int kSlotCount = 46;

// The slots the chain object itself reaches by number.
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
    kDust = 36,
    kRevelation = 37,
    kFisheye = 39,
    kLch = 40,
    kChromaBoost = 41,
    kRedEye = 42,
    kMoire = 43,
    kHueLut = 44,
    kAutoBrightness = 45,
};

// The slots a build of `mode` creates, in the order it creates them.
std::vector<int> CreationOrder(std::uint32_t mode);
// The slots of a `mode` chain, source side first.
std::vector<int> ChainOrder(std::uint32_t mode);
// The method a scale slot (13 to 17) is made with.
long CreationScaleMethod(int slot, std::uint32_t mode, std::uint32_t scaleMethod);
// A new filter for `slot`; null for a slot outside the table. Throws
// std::bad_alloc when memory runs out.
std::unique_ptr<CKelvraFilterBase> MakeSlotFilter(int slot, IKelvraManager* manager, std::uint32_t mode,
                                                  std::uint32_t scaleMethod);

} // namespace TlChainSlots
