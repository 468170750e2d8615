#include "KelvraFilterCMLFormats.h"

namespace {

struct SpaceLayout {
    CmlSpace space;
    KelvraPixelFormat layout; // the word without its bits-per-sample byte
    unsigned channels;
};

// Low 24 bits of the words: planes in bits 17-23, the layout below them.
const SpaceLayout kLayouts[] = {
    {CmlSpace::kRGB, 0x060201, 3},  {CmlSpace::kGrey, 0x020001, 1}, {CmlSpace::kCMYK, 0x080202, 4},
    {CmlSpace::kLab, 0x060204, 3},  {CmlSpace::kLCh, 0x060203, 3},
};

KelvraPixelFormat DepthWord(long bits)
{
    return bits == 8 ? 0x08000000u : bits == 16 ? 0x10000000u : 0u;
}

} // namespace

CmlSpace CmlSpaceOf(KelvraPixelFormat format)
{
    if (DepthWord(long(KelvraBitsPerSample(format))) == 0)
        return CmlSpace::kNone;
    for (const SpaceLayout& layout : kLayouts) {
        if ((format & 0xFFFFFF) == layout.layout)
            return layout.space;
    }
    return CmlSpace::kNone;
}

KelvraPixelFormat CmlFormatOf(CmlSpace space, long bits)
{
    for (const SpaceLayout& layout : kLayouts) {
        if (layout.space == space && DepthWord(bits) != 0)
            return DepthWord(bits) | layout.layout;
    }
    return 0;
}

unsigned CmlChannelsOf(CmlSpace space)
{
    for (const SpaceLayout& layout : kLayouts) {
        if (layout.space == space)
            return layout.channels;
    }
    return 0;
}
