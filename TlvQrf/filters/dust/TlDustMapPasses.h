// The passes that turn an analysed reference and a picture into the
// picture's correction mask and exclusion image. Each pass fills one tile
// of its plane per call; the planes are whole-picture buffers.
#pragma once

#include "filters/dust/TlDustGeometry.h"

#include <cstdint>
#include <memory>
#include <vector>

// A plane of the picture's size that its pass writes whole: made without
// clearing, let go as soon as no later pass reads it.
template <typename T>
class TlDustPlane {
public:
    // Throws std::bad_alloc.
    void Allocate(std::size_t count)
    {
        m_pixels.reset(new T[count]);
        m_size = count;
    }
    void Release()
    {
        m_pixels.reset();
        m_size = 0;
    }
    T& operator[](std::size_t i) { return m_pixels[i]; }
    const T& operator[](std::size_t i) const { return m_pixels[i]; }
    T* data() { return m_pixels.get(); }
    const T* data() const { return m_pixels.get(); }
    std::size_t size() const { return m_size; }

private:
    std::unique_ptr<T[]> m_pixels;
    std::size_t m_size = 0;
};

struct TlDustMapPlanes {
    TlDustTiles tiles;
    // The current pass walks the rows of tiles from the bottom up; each pass
    // runs the other way from the one before.
    bool reversed = false;
    // Luminance (16 bits), its square-root encoding, the resampled
    // reference's class values, the texture flags and their spread form,
    // the window radii, the exclusion image and the computed mask values.
    TlDustPlane<std::uint16_t> luminance;
    TlDustPlane<std::uint8_t> encoded;
    TlDustPlane<std::uint8_t> classes;
    TlDustPlane<std::uint8_t> shadow;
    // Not 0 where a shadow lies within the radius window, and within it
    // plus 9 pixels (what the flags' spread and exclusion ring reach).
    TlDustPlane<std::uint8_t> nearRadius;
    TlDustPlane<std::uint8_t> nearFlags;
    TlDustPlane<std::uint8_t> flags;
    TlDustPlane<std::uint8_t> spread;
    TlDustPlane<std::uint8_t> radius;
    TlDustPlane<std::uint8_t> exclusion;
    TlDustPlane<std::uint8_t> computed;
    TlDustPlane<std::uint8_t> mask;

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

// State 5: the luminance through Q(i) = round(255 sqrt(i / 65535)).
void DustEncodeTile(TlDustMapPlanes& planes, long tile);
// State 6: class values of the resampled reference where the picture is
// bright enough for its shadows to show.
void DustClassTile(TlDustMapPlanes& planes, long tile);
// After the last class tile: the shadow image, non-zero within 7 pixels of
// a class value and 0 away from dust shadows, and the planes that tell
// which pixels have a shadow near enough for states 7 and 8.
void DustShadowImage(TlDustMapPlanes& planes);
// State 7: texture flags of the encoded luminance, worked out only where a
// shadow lies near enough for a radius or an exclusion to use them (0
// elsewhere); then their spread.
void DustFlagTile(TlDustMapPlanes& planes, long tile);
void DustSpreadFlags(TlDustMapPlanes& planes);
// State 8: window radii.
void DustRadiusTile(TlDustMapPlanes& planes, long tile);
// State 9: the exclusion image.
void DustExclusionTile(TlDustMapPlanes& planes, long tile);
// State 10: the mask values, then their smoothing into the mask.
// Only pixels with a radius sum their window, so no table of sums is kept.
void DustMaskTile(TlDustMapPlanes& planes, long tile);
void DustSmoothMask(TlDustMapPlanes& planes);

// The mask value of a centre luminance c in a window of (2r + 1)^2 pixels
// summing to `sum`: its brightness against the window's mean, in 128ths,
// at most 128.
unsigned DustMaskValue(unsigned radius, std::uint64_t centre, std::uint64_t sum);

// The noise level of state 7 (see docs/dust-tables.md).
unsigned DustNoiseLevel(std::uint32_t curveId, std::int32_t sensitivity, int row);
