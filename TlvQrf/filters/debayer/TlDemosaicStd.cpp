#include "filters/debayer/TlDemosaicStd.h"

#include <cstdlib>

namespace {

// 3 x trunc(10 x 262143 / 256): a gradient difference below it is no edge.
const std::int32_t kGreenThreshold = 30717;

std::int32_t GreenAtColourSite(const std::int32_t* p, long f)
{
    const std::int32_t v = std::abs(p[-f] - p[f]) + std::abs(p[-2 * f - 1] - p[-1]) + std::abs(p[-1] - p[2 * f - 1]);
    const std::int32_t h = std::abs(p[-f - 2] - p[-f]) + std::abs(p[-f] - p[-f + 2]) + std::abs(p[-1] - p[1]);
    const std::int32_t ev = 2 * (p[-f] + p[0] + p[f]) - p[-2 * f] - p[2 * f];
    const std::int32_t eh = 2 * (p[-1] + p[0] + p[1]) - p[-2] - p[2];
    std::int32_t value;
    if (std::abs(v - h) <= kGreenThreshold)
        value = (eh + ev) / 2;
    else
        value = h < v ? eh : ev;
    return value / 4;
}

void GreenRows(const CTlMosaicPlane& raw, const KelvraRect& area, std::int32_t* green)
{
    const long f = raw.width;
    for (long y = area.top; y < area.bottom; ++y) {
        const std::int32_t* row = raw.Row(y);
        std::int32_t* out = green + y * f;
        // Green sites alternate with red or blue ones along every row.
        long x = area.left;
        const bool firstIsGreen = ((x + y + raw.phases.greenPhase) & 1) != 0;
        if (firstIsGreen && x < area.right) {
            out[x] = row[x];
            ++x;
        }
        for (; x + 1 < area.right; x += 2) {
            out[x] = GreenAtColourSite(row + x, f);
            out[x + 1] = row[x + 1];
        }
        if (x < area.right)
            out[x] = GreenAtColourSite(row + x, f);
    }
}

void RgbRows(const CTlMosaicPlane& raw, const KelvraRect& inner, const std::int32_t* green, CTlRgbPlane& rgb)
{
    const long f = raw.width;
    for (long y = inner.top; y < inner.bottom; ++y) {
        const std::int32_t* p = raw.Row(y);
        const std::int32_t* g = green + y * f;
        const bool redRow = ((y + raw.phases.redRowPhase) & 1) != 0;
        // Channel index of the colour this row carries, and of the other.
        const int rowColour = redRow ? 0 : 2;
        const int otherColour = 2 - rowColour;
        std::uint16_t* out = rgb.Pixel(inner.left, y);
        for (long x = inner.left; x < inner.right; ++x, out += 3) {
            auto d = [&](long at) { return p[at] - g[at]; };
            if (((x + y + raw.phases.greenPhase) & 1) != 0) {
                const std::int32_t gv = p[x];
                out[1] = TlTo16(gv);
                out[rowColour] = TlTo16(gv + (d(x - 1) + d(x + 1)) / 2);
                out[otherColour] = TlTo16(gv + (d(x - f) + d(x + f)) / 2);
            } else {
                const std::int32_t gv = g[x];
                out[1] = TlTo16(gv);
                out[rowColour] = TlTo16(p[x]);
                out[otherColour] = TlTo16(gv + (d(x - f - 1) + d(x - f + 1) + d(x + f - 1) + d(x + f + 1)) / 4);
            }
        }
    }
}

} // namespace

void TlDemosaicStd(const CTlMosaicPlane& raw, const KelvraRect& inner, std::vector<std::int32_t>& green,
                   CTlRgbPlane& rgb)
{
    green.resize(std::size_t(raw.width * raw.height));
    const KelvraRect greenArea(inner.left - 1, inner.top - 1, inner.right + 1, inner.bottom + 1);
    GreenRows(raw, greenArea, green.data());
    RgbRows(raw, inner, green.data(), rgb);
}
