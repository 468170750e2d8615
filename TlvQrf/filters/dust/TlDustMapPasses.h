// The passes that turn an analysed reference and a picture into the
// picture's correction mask and exclusion image. Each pass fills one tile
// of its plane per call; the planes are whole-picture buffers.
#pragma once

#include "filters/dust/TlDustGeometry.h"

#include <cstdint>
#include <vector>

struct TlDustMapPlanes {
    TlDustTiles tiles;
    // The current pass walks the rows of tiles from the bottom up; each pass
    // runs the other way from the one before.
    bool reversed = false;
    // Luminance (16 bits), its square-root encoding, the resampled
    // reference's class values, the texture flags and their spread form,
    // the window radii, the exclusion image and the computed mask values.
    std::vector<std::uint16_t> luminance;
    std::vector<std::uint8_t> encoded;
    std::vector<std::uint8_t> classes;
    std::vector<std::uint8_t> shadow;
    std::vector<std::uint8_t> flags;
    std::vector<std::uint8_t> spread;
    std::vector<std::uint8_t> radius;
    std::vector<std::uint8_t> exclusion;
    std::vector<std::uint8_t> computed;
    std::vector<std::uint8_t> mask;

    // The analysed reference and where the picture samples it.
    const std::uint8_t* reference = nullptr;
    long referenceWidth = 0;
    long referenceHeight = 0;
    std::vector<std::int64_t> positionsX; // picture columns - 7 .. w + 6
    std::vector<std::int64_t> positionsY;

    unsigned noise = 3;
    long halfWidth = 3; // the shadow window of the radius pass
    long halfHeight = 3;

    std::size_t At(long x, long y) const { return std::size_t(y) * std::size_t(tiles.width) + std::size_t(x); }
};

// Sets the sample positions from the spacing the aspects give.
void PrepareDustSampling(TlDustMapPlanes& planes);

// State 6: class values of the resampled reference where the picture is
// bright enough for its shadows to show.
void DustClassTile(TlDustMapPlanes& planes, long tile);
// After the last class tile: the shadow image, non-zero within 7 pixels of
// a class value and 0 away from dust shadows.
void DustShadowImage(TlDustMapPlanes& planes);
// State 7: texture flags of the encoded luminance, worked out only where a
// shadow lies near enough for a radius or an exclusion to use them (0
// elsewhere); then their spread.
void DustFlagTile(TlDustMapPlanes& planes, const std::vector<std::uint32_t>& shadowSums, long tile);
void DustSpreadFlags(TlDustMapPlanes& planes);
// State 8: window radii.
void DustRadiusTile(TlDustMapPlanes& planes, const std::vector<std::uint32_t>& shadowSums, long tile);
std::vector<std::uint32_t> DustSummedArea(const TlDustMapPlanes& planes, const std::vector<std::uint8_t>& plane);
// State 9: the exclusion image.
void DustExclusionTile(TlDustMapPlanes& planes, long tile);
// State 10: the mask values, then their smoothing into the mask.
// The luminance sums wrap modulo 2^32; a window's sum (at most 81 values
// of 16 bits) comes out exact all the same.
void DustMaskTile(TlDustMapPlanes& planes, const std::vector<std::uint32_t>& luminanceSums, long tile);
std::vector<std::uint32_t> DustLuminanceSums(const TlDustMapPlanes& planes);
void DustSmoothMask(TlDustMapPlanes& planes);

// The mask value of a centre luminance c in a window of (2r + 1)^2 pixels
// summing to `sum`: its brightness against the window's mean, in 128ths,
// at most 128.
unsigned DustMaskValue(unsigned radius, std::uint64_t centre, std::uint64_t sum);

// The noise level of state 7 (see docs/dust-tables.md).
unsigned DustNoiseLevel(std::uint32_t curveId, std::int32_t sensitivity, int row);
