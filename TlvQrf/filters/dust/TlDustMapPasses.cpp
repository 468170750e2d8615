#include "filters/dust/TlDustMapPasses.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long kMargin = 7;
constexpr unsigned kOutsideReference = 128;
constexpr unsigned kDarkLuminance = 1800;
constexpr std::uint8_t kTextureBit = 0x80;
constexpr std::uint8_t kBusyBit = 0x01;

// Tables made once for the process, on first use (thread-safe statics).
struct DepthClasses {
    std::uint8_t of[256];
    DepthClasses()
    {
        for (unsigned v = 0; v < 256; ++v)
            of[v] = v >= 124 ? 0 : v >= 120 ? 1 : v >= 112 ? 2 : v >= 96 ? 3 : v >= 64 ? 4 : 5;
    }
};

struct EncodeTable {
    std::uint8_t of[65536];
    EncodeTable()
    {
        for (std::size_t i = 0; i < 65536; ++i)
            of[i] = std::uint8_t(std::floor(255.0 * std::sqrt(double(i) / 65535.0) + 0.5));
    }
};

const std::uint8_t* DepthClassTable()
{
    static const DepthClasses table;
    return table.of;
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

void DustEncodeTile(TlDustMapPlanes& planes, long tile)
{
    static const EncodeTable encode;
    long left, top, right, bottom;
    planes.tiles.Rect(tile, planes.reversed, &left, &top, &right, &bottom);
    for (long y = top; y < bottom; ++y) {
        const std::uint16_t* in = &planes.luminance[planes.At(left, y)];
        std::uint8_t* out = &planes.encoded[planes.At(left, y)];
        for (long x = 0; x < right - left; ++x)
            out[x] = encode.of[in[x]];
    }
}

void DustClassTile(TlDustMapPlanes& planes, long tile)
{
    const std::uint8_t* depthClass = DepthClassTable();
    ForTile(planes, tile, [&](long x, long y) {
        const unsigned v = DustBilinear(planes.reference, planes.referenceWidth, planes.referenceHeight,
                                        planes.positionsX[std::size_t(x + kMargin)],
                                        planes.positionsY[std::size_t(y + kMargin)], kOutsideReference);
        const std::uint8_t c = depthClass[v];
        planes.classes[planes.At(x, y)] = planes.luminance[planes.At(x, y)] > kClassThreshold[c] ? c : 0;
    });
}

namespace {
// Whether each row of a plane holds anything but `background`.
std::vector<bool> RowsInUse(const TlDustMapPlanes& planes, const std::uint8_t* plane, std::uint8_t background = 0)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    std::vector<bool> used(static_cast<std::size_t>(h));
    for (long y = 0; y < h; ++y) {
        const std::uint8_t* row = plane + std::size_t(y) * std::size_t(w);
        used[std::size_t(y)] = std::find_if(row, row + w, [background](std::uint8_t v) { return v != background; }) != row + w;
    }
    return used;
}

// Whether any row from y - reach to y + reach (within the picture) is in use.
bool NearRowInUse(const std::vector<bool>& used, long y, long reach)
{
    const long h = long(used.size());
    for (long r = std::max(0L, y - reach); r <= std::min(h - 1, y + reach); ++r)
        if (used[std::size_t(r)])
            return true;
    return false;
}
} // namespace

namespace {
// The largest value of `plane` within the window of half sizes (hx, hy)
// around each pixel, cut at the picture's edges: separable maxima that skip
// the rows holding only 0 (most of a picture).
void WindowMax(const TlDustMapPlanes& planes, const std::uint8_t* plane, long hx, long hy, std::uint8_t* out)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    const std::vector<bool> used = RowsInUse(planes, plane);
    TlDustPlane<std::uint8_t> rows;
    rows.Allocate(std::size_t(w) * std::size_t(h));
    // Each step of the reach is one simple loop over the row, so that the
    // compiler can work on many pixels at once.
    for (long y = 0; y < h; ++y) {
        if (!used[std::size_t(y)])
            continue;
        const std::uint8_t* __restrict in = plane + planes.At(0, y);
        std::uint8_t* __restrict row = &rows[planes.At(0, y)];
        std::copy(in, in + w, row);
        for (long d = 1; d <= hx && d < w; ++d) {
            for (long x = d; x < w; ++x)
                row[x] = std::max(row[x], in[x - d]);
            for (long x = 0; x + d < w; ++x)
                row[x] = std::max(row[x], in[x + d]);
        }
    }
    for (long y = 0; y < h; ++y) {
        std::uint8_t* __restrict line = out + planes.At(0, y);
        std::fill(line, line + w, std::uint8_t(0));
        for (long r = std::max(0L, y - hy); r <= std::min(h - 1, y + hy); ++r) {
            if (!used[std::size_t(r)])
                continue;
            const std::uint8_t* __restrict in = &rows[planes.At(0, r)];
            for (long x = 0; x < w; ++x)
                line[x] = std::max(line[x], in[x]);
        }
    }
}
} // namespace

// The largest class value within the 15 x 15 window; then where a shadow
// lies near enough for the radius window, and for the texture flags that
// the spread (1 pixel) and the exclusion ring (8) carry beyond it.
void DustShadowImage(TlDustMapPlanes& planes)
{
    WindowMax(planes, planes.classes.data(), kMargin, kMargin, planes.shadow.data());
    WindowMax(planes, planes.shadow.data(), planes.halfWidth, planes.halfHeight, planes.nearRadius.data());
    WindowMax(planes, planes.nearRadius.data(), 9, 9, planes.nearFlags.data());
}

void DustFlagTile(TlDustMapPlanes& planes, long tile)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    const unsigned n = planes.noise;
    auto J = [&](long x, long y) { return long(planes.encoded[planes.At(Mirror(x, w), Mirror(y, h))]); };
    ForTile(planes, tile, [&](long x, long y) {
        if (!planes.nearFlags[planes.At(x, y)]) {
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

// Each pixel takes the low four bits of its 3 x 3 neighbours; rows with no
// flags near them stay 0.
void DustSpreadFlags(TlDustMapPlanes& planes)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    const std::vector<bool> used = RowsInUse(planes, planes.flags.data());
    for (long y = 0; y < h; ++y) {
        std::uint8_t* out = &planes.spread[planes.At(0, y)];
        if (!NearRowInUse(used, y, 1)) {
            std::fill(out, out + w, std::uint8_t(0));
            continue;
        }
        for (long x = 0; x < w; ++x) {
            std::uint8_t bits = planes.flags[planes.At(x, y)];
            for (long dy = -1; dy <= 1; ++dy)
                for (long dx = -1; dx <= 1; ++dx)
                    bits |= planes.flags[planes.At(Clamp(x + dx, w), Clamp(y + dy, h))] & 0x0F;
            out[x] = bits;
        }
    }
}

void DustRadiusTile(TlDustMapPlanes& planes, long tile)
{
    ForTile(planes, tile, [&](long x, long y) {
        planes.radius[planes.At(x, y)] =
            planes.nearRadius[planes.At(x, y)] ? kRadiusOfFlags[planes.spread[planes.At(x, y)] & 15] : 0;
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

unsigned DustMaskValue(unsigned radius, std::uint64_t centre, std::uint64_t sum)
{
    const double value =
        std::floor((double(kWindowPixels[radius]) * double(centre) + 0.001) / (double(sum) + 0.001) * 128.0 + 0.5);
    return value > 128.0 ? 128u : unsigned(value);
}

// Windows that reach past the picture read its edge pixels.
void DustMaskTile(TlDustMapPlanes& planes, long tile)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    ForTile(planes, tile, [&](long x, long y) {
        const unsigned r = planes.radius[planes.At(x, y)];
        if (r == 0 || planes.exclusion[planes.At(x, y)] != 0) {
            planes.computed[planes.At(x, y)] = 128;
            return;
        }
        const long R = long(r);
        std::uint64_t sum = 0;
        if (x - R >= 0 && y - R >= 0 && x + R < w && y + R < h) {
            for (long dy = -R; dy <= R; ++dy) {
                const std::uint16_t* row = &planes.luminance[planes.At(x - R, y + dy)];
                for (long dx = 0; dx <= 2 * R; ++dx)
                    sum += row[dx];
            }
        } else {
            for (long dy = -R; dy <= R; ++dy)
                for (long dx = -R; dx <= R; ++dx)
                    sum += planes.luminance[planes.At(Clamp(x + dx, w), Clamp(y + dy, h))];
        }
        planes.computed[planes.At(x, y)] = std::uint8_t(DustMaskValue(r, planes.luminance[planes.At(x, y)], sum));
    });
}

// Values above 90 (light shadows) take the mean of their 3 x 3
// neighbourhood; rows whose neighbourhood is all 128 (no shadow) stay so.
void DustSmoothMask(TlDustMapPlanes& planes)
{
    const long w = planes.tiles.width, h = planes.tiles.height;
    const std::vector<bool> shadowed = RowsInUse(planes, planes.computed.data(), 128);
    for (long y = 0; y < h; ++y) {
        std::uint8_t* out = &planes.mask[planes.At(0, y)];
        if (!NearRowInUse(shadowed, y, 1)) {
            std::fill(out, out + w, std::uint8_t(128));
            continue;
        }
        for (long x = 0; x < w; ++x) {
            const std::uint8_t value = planes.computed[planes.At(x, y)];
            if (value <= 90) {
                out[x] = value;
                continue;
            }
            unsigned sum = 0;
            for (long dy = -1; dy <= 1; ++dy)
                for (long dx = -1; dx <= 1; ++dx)
                    sum += planes.computed[planes.At(Clamp(x + dx, w), Clamp(y + dy, h))];
            out[x] = std::uint8_t(sum / 9);
        }
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
