#include "filters/fineedge/TlFineEdgeSteps.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A mean absolute green difference above 4,608 (18 on the 8-bit scale).
constexpr std::int64_t kStructureThreshold = 115200;
constexpr std::int64_t kWeightStep = 32768;

std::int32_t QuarterFloor(std::int64_t value)
{
    return std::int32_t(value >= 0 ? value / 4 : -((-value + 3) / 4));
}

struct Direction {
    int ax, ay, bx, by;  // the two neighbours along it
    int pairs[3][4];     // x1, y1, x2, y2 of the pairs whose change counts twice
};

// Offsets from the pixel, y growing downwards.
constexpr Direction kDirections[4] = {
    {-1, 0, 1, 0, {{0, -1, -2, -1}, {0, -1, 2, -1}, {-1, 0, 1, 0}}},    // horizontal
    {0, -1, 0, 1, {{-1, 0, -1, -2}, {-1, 0, -1, 2}, {0, -1, 0, 1}}},    // vertical
    {-1, -1, 1, 1, {{0, 1, 1, 2}, {-1, 0, 0, 1}, {-2, -1, -1, 0}}},     // diagonal
    {1, -1, -1, 1, {{0, -1, 1, -2}, {-2, 1, -1, 0}, {-1, 0, 0, -1}}},   // anti-diagonal
};

} // namespace

std::int64_t TlGreenVariation(const std::uint16_t* const green[5])
{
    const int centre = green[2][0];
    std::int64_t variation = 0;
    for (int r = 0; r < 5; ++r)
        for (int c = -2; c <= 2; ++c)
            variation += std::abs(green[r][c] - centre);
    return variation;
}

TlColourDifferences TlSmoothDifferences(const std::uint16_t* const green[5],
                                        const TlColourDifferences* const differences[5])
{
    const std::int64_t variation = TlGreenVariation(green);
    if (variation <= kStructureThreshold)
        return differences[2][0];
    const std::int64_t mean = variation / 25;
    const std::int64_t scale = variation / kWeightStep + 1;
    const int centre = green[2][0];
    std::int64_t weights = 0, red = 0, blue = 0;
    for (int r = 0; r < 5; ++r)
        for (int c = -2; c <= 2; ++c) {
            const std::int64_t w = std::max<std::int64_t>(0, mean - std::abs(green[r][c] - centre)) / scale;
            weights += w;
            red += w * differences[r][c].redMinusGreen;
            blue += w * differences[r][c].blueMinusGreen;
        }
    return {std::int32_t(red / weights), std::int32_t(blue / weights)};
}

std::uint16_t TlSharpenGreen(const std::uint16_t* const green[3])
{
    const std::int32_t binomial = green[0][-1] + 2 * green[0][0] + green[0][1] + 2 * green[1][-1] + 4 * green[1][0] +
                                  2 * green[1][1] + green[2][-1] + 2 * green[2][0] + green[2][1];
    const std::int32_t sharpened = (80 * green[1][0] - 3 * binomial) / 32;
    int low = 65535, high = 0;
    for (int r = 0; r < 3; ++r)
        for (int c = -1; c <= 1; ++c) {
            if (r == 1 && c == 0)
                continue;
            low = std::min<int>(low, green[r][c]);
            high = std::max<int>(high, green[r][c]);
        }
    return std::uint16_t(std::clamp(sharpened, low, high));
}

TlRebuiltPixel TlRebuildPixel(const std::uint16_t* const sharp[5], const TlColourDifferences* const differences[3])
{
    auto at = [sharp](int dx, int dy) -> std::int64_t { return sharp[2 + dy][dx]; };
    const std::int64_t h = at(0, 0);
    std::int64_t activity[4];
    std::int64_t total = 0;
    for (int d = 0; d < 4; ++d) {
        const Direction& dir = kDirections[d];
        activity[d] = 3 * (std::llabs(h - at(dir.ax, dir.ay)) + std::llabs(h - at(dir.bx, dir.by)));
        for (const auto& pair : dir.pairs)
            activity[d] += 2 * std::llabs(at(pair[0], pair[1]) - at(pair[2], pair[3]));
        total += activity[d];
    }
    std::int64_t weight[4];
    std::int64_t weightSum = 0;
    for (int d = 0; d < 4; ++d) {
        weight[d] = std::max<std::int64_t>(0, total - 4 * activity[d]);
        weightSum += weight[d];
    }
    const TlColourDifferences& own = differences[1][0];
    if (weightSum == 0)
        return {std::int32_t(h), own};
    const std::int64_t scale = weightSum / kWeightStep + 1;
    weightSum /= scale;
    std::int64_t green = 0, red = 0, blue = 0;
    for (int d = 0; d < 4; ++d) {
        const Direction& dir = kDirections[d];
        const std::int64_t w = weight[d] / scale;
        const TlColourDifferences& a = differences[1 + dir.ay][dir.ax];
        const TlColourDifferences& b = differences[1 + dir.by][dir.bx];
        green += w * QuarterFloor(at(dir.ax, dir.ay) + 2 * h + at(dir.bx, dir.by));
        red += w * QuarterFloor(std::int64_t(a.redMinusGreen) + 2 * own.redMinusGreen + b.redMinusGreen);
        blue += w * QuarterFloor(std::int64_t(a.blueMinusGreen) + 2 * own.blueMinusGreen + b.blueMinusGreen);
    }
    return {std::int32_t(green / weightSum), {std::int32_t(red / weightSum), std::int32_t(blue / weightSum)}};
}
