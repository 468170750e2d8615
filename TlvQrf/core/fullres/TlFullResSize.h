// The sizes a full-resolution build works at: the source as developed, the
// crop rectangle in source pixels and the output size of a reduced rendition.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstdint>

class CTlDblRect;
class CTlvParamSet;

// Pixel format of camera mosaics.
constexpr std::uint32_t kTlMosaicFormat = 0x10020401;
// Samples of 16 bits.
constexpr std::uint32_t kTlSixteenBitFormat = 0x10000000;

struct STlSize {
    long width = 0;
    long height = 0;
};

// The source's size once developed; false when the source, its pixel format
// or its size cannot be read.
bool GetOutputSize(const CTlvParamSet& params, STlSize* size);

// The vertical stretch a camera's mosaic still needs (1.0 for most).
double PendingStretch(const CTlvParamSet& params);

// The geometry's crop rectangle (in half pixels of the developed source)
// brought to `scale`, heights also divided by `stretch`; never empty.
KelvraRect CropRectFor(const CTlDblRect& crop, double scale, double stretch);

// The output size and final scale of a reduced rendition whose longer side
// is `longSide`, from the size it starts at.
struct STlReducedSize {
    STlSize output;
    double finalScale = 1.0;
};
STlReducedSize ReducedSize(STlSize base, long longSide, STlSize output);

// Whether a quarter-turn angle swaps width and height.
inline bool SwapsSides(std::int32_t angle)
{
    return angle % 180 != 0;
}
