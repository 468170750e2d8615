#include "UnsharpMaskBlur.h"

#include <algorithm>
#include <cstddef>

namespace {

long Clamp(long value, long low, long high)
{
    return std::min(std::max(value, low), high);
}

// Row y of the plane (clamped to it), columns target.left - half to
// target.right + half, edge pixels repeated.
void PadRow(const UsmPlane& plane, long y, const KelvraRect& target, long half, float* padded)
{
    const KelvraRect& area = plane.area;
    const long clampedY = Clamp(y, area.top, area.bottom - 1);
    const float* row = plane.samples.data() + std::size_t(clampedY - area.top) * std::size_t(area.Width());
    const long first = target.left - half;
    const long count = target.Width() + 2 * half;
    for (long i = 0; i < count; ++i)
        padded[i] = row[Clamp(first + i, area.left, area.right - 1) - area.left];
}

// out[x] = sum of weights[i] x padded[x + i], for `width` outputs.
void ConvolveRow(const float* padded, const UsmKernel& kernel, long width, float* out)
{
    const long taps = 2 * kernel.half + 1;
    for (long x = 0; x < width; ++x) {
        float sum = 0.0f;
        for (long i = 0; i < taps; ++i)
            sum += kernel.weights[std::size_t(i)] * padded[x + i];
        out[x] = sum;
    }
}

// Adds weight x `row` to `out`, `width` samples.
void AddScaledRow(const float* row, float weight, long width, float* out)
{
    for (long x = 0; x < width; ++x)
        out[x] += weight * row[x];
}

} // namespace

std::vector<float> UsmBlur(const UsmPlane& plane, const KelvraRect& target, const UsmKernel& alongX,
                           const UsmKernel& alongY)
{
    const long width = target.Width();
    const long rows = target.Height() + 2 * alongY.half; // every row the y kernel reaches
    std::vector<float> padded(std::size_t(width + 2 * alongX.half));
    std::vector<float> across(std::size_t(width) * std::size_t(rows));
    for (long i = 0; i < rows; ++i) {
        PadRow(plane, target.top - alongY.half + i, target, alongX.half, padded.data());
        ConvolveRow(padded.data(), alongX, width, &across[std::size_t(i) * std::size_t(width)]);
    }
    std::vector<float> mask(std::size_t(width) * std::size_t(target.Height()), 0.0f);
    for (long y = 0; y < target.Height(); ++y) {
        float* out = &mask[std::size_t(y) * std::size_t(width)];
        for (long j = 0; j <= 2 * alongY.half; ++j)
            AddScaledRow(&across[std::size_t(y + j) * std::size_t(width)], alongY.weights[std::size_t(j)], width, out);
    }
    return mask;
}
