// A point filter's walk over one source tile: every pixel of the part of
// the tile that the target needs, read from the source and written to the
// same place of the target.
#pragma once

#include "filters/frame/TlTileContract.h"

// Calls `pixel(in, out)` for each pixel, `in` and `out` pointing at its
// `Channels` samples of type `Sample`.
template <typename Sample, int Channels, typename PixelFn>
void TlForEachPixel(const CTlTileTarget& target, const CTlSourceTile& from, PixelFn&& pixel)
{
    const KelvraRect rows = from.overlap.Intersection(target.toFill);
    const long width = rows.Width();
    for (long y = rows.top; y < rows.bottom; ++y) {
        const Sample* in = reinterpret_cast<const Sample*>(from.At(rows.left, y));
        Sample* out = reinterpret_cast<Sample*>(target.At(rows.left, y));
        for (long x = 0; x < width; ++x, in += Channels, out += Channels)
            pixel(in, out);
    }
}
