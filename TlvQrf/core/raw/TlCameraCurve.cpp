#include "raw/TlCameraCurve.h"

#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"

#include <algorithm>

namespace {

constexpr unsigned char kCurveMark = 'I';
constexpr std::size_t kHeaderSize = 9; // through the point count
constexpr int kMinPoints = 2;
constexpr int kMaxPoints = 20;
constexpr double kLevelGap = 0.01;

bool HasValidHeader(const unsigned char* block, std::size_t size)
{
    if (block == nullptr || size < kHeaderSize)
        return false;
    if (block[0] != kCurveMark || (block[1] != 0x5F && block[1] != 0x10))
        return false;
    const int points = block[8];
    if (points < kMinPoints || points > kMaxPoints)
        return false;
    return size - kHeaderSize >= static_cast<std::size_t>(points) * 2;
}

double Level(unsigned char byte) { return byte / 255.0; }

bool TakeBlock(CTlLut& element, const unsigned char* block)
{
    element.ClearPoints();
    const int points = block[8];
    for (int i = 0; i < points; ++i) {
        const unsigned char* pair = block + kHeaderSize + 2 * i;
        if (element.AddPoint(Level(pair[0]), Level(pair[1])) < 0)
            return false;
    }
    const TlLutParams& current = element.GetParams();
    const double inBlack = std::min(Level(block[2]), current.white - kLevelGap);
    const double inWhite = std::max(inBlack + kLevelGap, Level(block[3]));
    element.SetInputLevels(inBlack, inWhite);
    const double outBlack = std::min(Level(block[4]), current.outputHigh - kLevelGap);
    const double outWhite = std::max(outBlack + kLevelGap, Level(block[5]));
    element.SetOutputLevels(outBlack, outWhite);
    const double gamma = block[6] + block[7] * 0.01;
    if (!element.IsGammaInRange(gamma))
        return false;
    element.SetClampedParam(gamma);
    return true;
}

} // namespace

bool ParseCameraCurve(CTlLutGroup& group, const unsigned char* block, std::size_t size)
{
    group.Reset(true);
    auto* element = dynamic_cast<CTlLut*>(group.Find(0));
    if (element == nullptr || !HasValidHeader(block, size))
        return false;
    if (TakeBlock(*element, block))
        return true;
    group.Reset(true);
    return false;
}
