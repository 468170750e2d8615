#include "filters/dust/TlDustMapPasses.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long kMargin = 7;
constexpr unsigned kOutsideReference = 128;
constexpr unsigned kDarkLuminance = 1800;
constexpr std::uint8_t kTextureBit = 0x80;
constexpr std::uint8_t kBusyBit = 0x01;

std::uint8_t DepthClass(unsigned value)
{
    if (value >= 124)
        return 0;
    if (value >= 120)
        return 1;
    if (value >= 112)
        return 2;
    if (value >= 96)
        return 3;
    if (value >= 64)
        return 4;
    return 5;
}

constexpr unsigned kClassThreshold[6] = {65535, 6682, 2570, 2056, 1028, 514};

// Mirrors a coordinate back into [0, size) without repeating the edge.
inline long Mirror(long v, long size)
{
    if (size == 1)
        return 0;
    while (v < 0 || v >= size)
        v = v < 0 ? -v : 2 * (size - 1) - v;
    return v;
}

inline long Clamp(long v, long size)
{
    return v < 0 ? 0 : v >= size ? size - 1 : v;
}

struct Ring {
    int group;
    int x[8];
    int y[8];
};

constexpr Ring kRings[7] = {
    {0, {-7, 7, -13, 13, -13, 13, -7, 7}, {-13, -13, -7, -7, 7, 7, 13, 13}},
    {0, {-21, 0, 21, -21, 21, -21, 0, 21}, {-21, -21, -21, 0, 0, 21, 21, 21}},
    {1, {-16, 16, -33, 33, -33, 33, -16, 16}, {-33, -33, -16, -16, 16, 16, 33, 33}},
    {1, {-43, 0, 43, -43, 43, -43, 0, 43}, {-43, -43, -43, 0, 0, 43, 43, 43}},
    {2, {-27, 27, -53, 53, -53, 53, -27, 27}, {-53, -53, -27, -27, 27, 27, 53, 53}},
    {2, {-63, 0, 63, -63, 63, -63, 0, 63}, {-63, -63, -63, 0, 0, 63, 63, 63}},
    {2, {-36, 36, -73, 73, -73, 73, -36, 36}, {-73, -73, -36, -36, 36, 36, 73, 73}},
};

constexpr std::uint8_t kRadiusOfFlags[16] = {4, 4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 2, 2, 1, 0};

// The ring of radius 8 around a textured pixel, 17 x 17.
constexpr const char* kExclusionRing[17] = {
    "00000111111100000", "00001000000010000", "00010000000001000", "00100000000000100", "01000000000000010",
    "10000000000000001", "10000000000000001", "10000000000000001", "10000000000000001", "10000000000000001",
    "10000000000000001", "10000000000000001", "01000000000000010", "00100000000000100", "00010000000001000",
    "00001000000010000", "00000111111100000",
};

constexpr std::uint32_t kWindowPixels[8] = {0, 9, 25, 49, 81, 121, 169, 225};

template <typename Fn>
void ForTile(const TlDustMapPlanes& planes, long tile, Fn&& fn)
{
    long left, top, right, bottom;
    planes.tiles.Rect(tile, planes.reversed, &left, &top, &right, &bottom);
    for (long y = top; y < bottom; ++y)
        for (long x = left; x < right; ++x)
            fn(x, y);
}

} // namespace

void PrepareDustSampling(TlDustMapPlanes& planes)
{
    double sx = 1, sy = 1;
    DustSampleSpacing(planes.tiles.width, planes.tiles.height, planes.referenceWidth, planes.referenceHeight, &sx,
                      &sy);
    planes.positionsX = DustSamplePositions(planes.tiles.width + 2 * kMargin, planes.referenceWidth, sx);
    planes.positionsY = DustSamplePositions(planes.tiles.height + 2 * kMargin, planes.referenceHeight, sy);
}

void DustClassTile(TlDustMapPlanes& planes, long tile)
{
    ForTile(planes, tile, [&](long x, long y) {
        const unsigned v = DustBilinear(planes.reference, planes.referenceWidth, planes.referenceHeight,
                                        planes.positionsX[std::size_t(x + kMargin)],
                                        planes.positionsY[std::size_t(y + kMargin)], kOutsideReference);
        const std::uint8_t c = DepthClass(v);
        planes.classes[planes.At(x, y)] = planes.luminance[planes.At(x, y)] > kClassThreshold[c] ? c : 0;
    });
}

// The largest class value within the 15 x 15 window: separable maxima.
void DustShadowImage(TlDustMapPlanes& planes)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    std::vector<std::uint8_t> rows(planes.classes.size());
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x) {
            std::uint8_t m = 0;
            for (long d = -kMargin; d <= kMargin; ++d)
                m = std::max(m, planes.classes[planes.At(Clamp(x + d, w), y)]);
            rows[planes.At(x, y)] = m;
        }
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x) {
            std::uint8_t m = 0;
            for (long d = -kMargin; d <= kMargin; ++d)
                m = std::max(m, rows[planes.At(x, Clamp(y + d, h))]);
            planes.shadow[planes.At(x, y)] = m;
        }
}

namespace {
// The sum of a summed-area table over the window of half sizes (hx, hy).
std::uint32_t WindowSum(const TlDustMapPlanes& planes, const std::vector<std::uint32_t>& sums, long x, long y, long hx,
                        long hy)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    const long x0 = std::max(0L, x - hx), x1 = std::min(w, x + hx + 1);
    const long y0 = std::max(0L, y - hy), y1 = std::min(h, y + hy + 1);
    auto S = [&](long sx, long sy) { return sums[std::size_t(sy) * std::size_t(w + 1) + std::size_t(sx)]; };
    return S(x1, y1) - S(x0, y1) - S(x1, y0) + S(x0, y0);
}
} // namespace

void DustFlagTile(TlDustMapPlanes& planes, const std::vector<std::uint32_t>& shadowSums, long tile)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    const unsigned n = planes.noise;
    // The spread (1) and the exclusion ring (8) reach this far past the
    // radius window.
    const long reachX = planes.halfWidth + 9, reachY = planes.halfHeight + 9;
    auto J = [&](long x, long y) { return long(planes.encoded[planes.At(Mirror(x, w), Mirror(y, h))]); };
    ForTile(planes, tile, [&](long x, long y) {
        if (WindowSum(planes, shadowSums, x, y, reachX, reachY) == 0) {
            planes.flags[planes.At(x, y)] = 0;
            return;
        }
        const long centre = J(x, y);
        long differences = 0;
        for (long dy = -2; dy <= 2; ++dy)
            for (long dx = -2; dx <= 2; ++dx)
                differences += (dx || dy) ? std::labs(J(x + dx, y + dy) - centre) : 0;
        const unsigned C = unsigned(differences / 24);
        unsigned d[3] = {0, 0, 0};
        for (const Ring& ring : kRings) {
            long sum = 0;
            for (int i = 0; i < 8; ++i)
                sum += J(x + ring.x[i], y + ring.y[i]);
            d[ring.group] += unsigned(std::labs(8 * centre - sum) / 8);
        }
        std::uint8_t bits = 0;
        if (d[0] + d[1] + d[2] > 7 * n + 6)
            bits |= 0x08;
        if (d[0] + d[1] > 4 * n + 3)
            bits |= 0x04;
        if (d[0] + C > 3 * n + 2)
            bits |= 0x02;
        if (C > n)
            bits |= kTextureBit | kBusyBit;
        if (planes.shadow[planes.At(x, y)] >= 2)
            bits &= kTextureBit;
        if (planes.luminance[planes.At(x, y)] < kDarkLuminance)
            bits |= 0x0F;
        planes.flags[planes.At(x, y)] = bits;
    });
}

// Each pixel takes the low four bits of its 3 x 3 neighbours.
void DustSpreadFlags(TlDustMapPlanes& planes)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x) {
            std::uint8_t bits = planes.flags[planes.At(x, y)];
            for (long dy = -1; dy <= 1; ++dy)
                for (long dx = -1; dx <= 1; ++dx)
                    bits |= planes.flags[planes.At(Clamp(x + dx, w), Clamp(y + dy, h))] & 0x0F;
            planes.spread[planes.At(x, y)] = bits;
        }
}

std::vector<std::uint32_t> DustSummedArea(const TlDustMapPlanes& planes, const std::vector<std::uint8_t>& plane)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    std::vector<std::uint32_t> sums(std::size_t(w + 1) * std::size_t(h + 1), 0);
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x)
            sums[std::size_t(y + 1) * std::size_t(w + 1) + std::size_t(x + 1)] =
                plane[planes.At(x, y)] + sums[std::size_t(y) * std::size_t(w + 1) + std::size_t(x + 1)] +
                sums[std::size_t(y + 1) * std::size_t(w + 1) + std::size_t(x)] -
                sums[std::size_t(y) * std::size_t(w + 1) + std::size_t(x)];
    return sums;
}

void DustRadiusTile(TlDustMapPlanes& planes, const std::vector<std::uint32_t>& sums, long tile)
{
    ForTile(planes, tile, [&](long x, long y) {
        const std::uint32_t shadow = WindowSum(planes, sums, x, y, planes.halfWidth, planes.halfHeight);
        planes.radius[planes.At(x, y)] = shadow ? kRadiusOfFlags[planes.spread[planes.At(x, y)] & 15] : 0;
    });
}

void DustExclusionTile(TlDustMapPlanes& planes, long tile)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    ForTile(planes, tile, [&](long x, long y) {
        std::uint8_t value = 0;
        if (planes.spread[planes.At(x, y)] & kTextureBit) {
            int busy = 0;
            for (long r = 0; r < 17; ++r)
                for (long c = 0; c < 17; ++c)
                    if (kExclusionRing[r][c] == '1' &&
                        (planes.spread[planes.At(Clamp(x + c - 8, w), Clamp(y + r - 8, h))] & kBusyBit))
                        ++busy;
            value = busy >= 4 ? 255 : 0;
        }
        planes.exclusion[planes.At(x, y)] = value;
    });
}

std::vector<std::uint32_t> DustLuminanceSums(const TlDustMapPlanes& planes)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    std::vector<std::uint32_t> sums(std::size_t(w + 1) * std::size_t(h + 1), 0);
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x)
            sums[std::size_t(y + 1) * std::size_t(w + 1) + std::size_t(x + 1)] =
                planes.luminance[planes.At(x, y)] + sums[std::size_t(y) * std::size_t(w + 1) + std::size_t(x + 1)] +
                sums[std::size_t(y + 1) * std::size_t(w + 1) + std::size_t(x)] -
                sums[std::size_t(y) * std::size_t(w + 1) + std::size_t(x)];
    return sums;
}

unsigned DustMaskValue(unsigned radius, std::uint64_t centre, std::uint64_t sum)
{
    const double value =
        std::floor((double(kWindowPixels[radius]) * double(centre) + 0.001) / (double(sum) + 0.001) * 128.0 + 0.5);
    return value > 128.0 ? 128u : unsigned(value);
}

// Windows that reach past the picture read its edge pixels.
void DustMaskTile(TlDustMapPlanes& planes, const std::vector<std::uint32_t>& sums, long tile)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    auto S = [&](long x, long y) { return sums[std::size_t(y) * std::size_t(w + 1) + std::size_t(x)]; };
    ForTile(planes, tile, [&](long x, long y) {
        const unsigned r = planes.radius[planes.At(x, y)];
        if (r == 0 || planes.exclusion[planes.At(x, y)] != 0) {
            planes.computed[planes.At(x, y)] = 128;
            return;
        }
        std::uint64_t sum = 0;
        const long R = long(r);
        if (x - R >= 0 && y - R >= 0 && x + R < w && y + R < h) {
            sum = std::uint32_t(S(x + R + 1, y + R + 1) - S(x - R, y + R + 1) - S(x + R + 1, y - R) + S(x - R, y - R));
        } else {
            for (long dy = -R; dy <= R; ++dy)
                for (long dx = -R; dx <= R; ++dx)
                    sum += planes.luminance[planes.At(Clamp(x + dx, w), Clamp(y + dy, h))];
        }
        planes.computed[planes.At(x, y)] =
            std::uint8_t(DustMaskValue(r, planes.luminance[planes.At(x, y)], sum));
    });
}

// Values above 90 (light shadows) take the mean of their 3 x 3 neighbourhood.
void DustSmoothMask(TlDustMapPlanes& planes)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x) {
            const std::uint8_t value = planes.computed[planes.At(x, y)];
            if (value <= 90) {
                planes.mask[planes.At(x, y)] = value;
                continue;
            }
            unsigned sum = 0;
            for (long dy = -1; dy <= 1; ++dy)
                for (long dx = -1; dx <= 1; ++dx)
                    sum += planes.computed[planes.At(Clamp(x + dx, w), Clamp(y + dy, h))];
            planes.mask[planes.At(x, y)] = std::uint8_t(sum / 9);
        }
}

unsigned DustNoiseLevel(std::uint32_t curveId, std::int32_t sensitivity, int row)
{
    static const std::int32_t kKeys259[] = {125, 140, 160, 200, 250, 280, 320, 400, 500, 570, 630, 800, -1, -2};
    static const std::int32_t kKeysOther[] = {200, 250, 280, 320, 400, 500, 570, 630, 800, 1010, 1130, 1270, 1600, -1, -2};
    static const unsigned kRow0For259[15] = {3, 3, 4, 4, 4, 4, 5, 5, 5, 6, 6, 7, 9, 12, 4};
    static const unsigned kRow0For260[16] = {6, 6, 6, 7, 7, 7, 7, 8, 8, 8, 9, 9, 10, 12, 15, 7};
    static const unsigned kRow0For1025[16] = {4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 7, 7, 8, 10, 13, 5};
    static const unsigned kRow0Others[16] = {3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 6, 6, 7, 9, 12, 4};
    // Synthetic rows 1 to 7: the telling row raised by these steps.
    static const unsigned kRowSteps[8] = {0, 1, 2, 1, 1, 2, 3, 2};
    const bool is259 = curveId == 259;
    const std::int32_t* keys = is259 ? kKeys259 : kKeysOther;
    const std::size_t keyCount = is259 ? std::size(kKeys259) : std::size(kKeysOther);
    std::size_t column = keyCount;
    for (std::size_t i = 0; i < keyCount; ++i)
        if (keys[i] == sensitivity) {
            column = i;
            break;
        }
    const unsigned* row0 = is259 ? kRow0For259 : curveId == 260 ? kRow0For260 : curveId == 1025 ? kRow0For1025 : kRow0Others;
    return row0[column] + kRowSteps[row & 7];
}
