// A block of tone-mapped mosaic samples (18-bit companded values) around
// the sites a demosaicing engine must colour, and the 16-bit RGB block it
// colours. Both use local coordinates: (0, 0) is source pixel (originX,
// originY); the phases are those of the local coordinates.
#pragma once

#include "filters/debayer/TlBayerPattern.h"

#include <cstdint>
#include <vector>

struct CTlMosaicPlane {
    long originX = 0;
    long originY = 0;
    long width = 0;  // samples per row (the row stride too)
    long height = 0;
    TlBayerPhases phases; // of local coordinates
    std::vector<std::int32_t> samples;

    const std::int32_t* Row(long y) const { return samples.data() + y * width; }
    // Local phases for a block whose origin lies at (x, y) of the source.
    void PlaceAt(long x, long y, const TlBayerPhases& sourcePhases);
};

// Interleaved red, green, blue of the same local coordinates; only the
// engine's inner rectangle is written.
struct CTlRgbPlane {
    long width = 0;
    long height = 0;
    std::vector<std::uint16_t> samples;

    std::uint16_t* Pixel(long x, long y) { return samples.data() + 3 * (y * width + x); }
    const std::uint16_t* Pixel(long x, long y) const { return samples.data() + 3 * (y * width + x); }
};

// Sites a R/B-only pass visits in local row y, from x0: the first red or
// blue site at or after x0.
inline long TlFirstColourSite(const TlBayerPhases& phases, long x0, long y)
{
    return x0 + ((x0 + y + phases.greenPhase) & 1);
}

// An 18-bit value clamped to its range and narrowed to 16 bits.
inline std::uint16_t TlTo16(std::int32_t value)
{
    return std::uint16_t((value < 0 ? 0 : value > 262143 ? 262143 : value) >> 2);
}
