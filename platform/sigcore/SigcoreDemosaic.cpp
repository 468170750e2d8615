#include "SigcoreDemosaic.h"

namespace {

// Filter colours of the 2 x 2 cell, row by row.
enum Colour { kRed, kGreen, kBlue, kCyan, kMagenta, kYellow, kColourCount };

Colour ColourAt(int layout, long x, long y)
{
    static const Colour kYcgm[4] = {kYellow, kCyan, kGreen, kMagenta};
    static const Colour kBggr[4] = {kBlue, kGreen, kGreen, kRed};
    const long site = (y % 2) * 2 + x % 2;
    return layout == kSigcoreLayoutYcgm ? kYcgm[site] : kBggr[site];
}

struct Averages {
    double value[kColourCount] = {};
    int count[kColourCount] = {};

    double Of(Colour colour) const { return count[colour] ? value[colour] / count[colour] : 0.0; }
};

// Every colour of the cell occurs in the 3 x 3 window around a site.
Averages AverageWindow(const SigcoreMosaic& mosaic, long x, long y)
{
    Averages sums;
    for (long dy = -1; dy <= 1; ++dy) {
        for (long dx = -1; dx <= 1; ++dx) {
            const Colour colour = ColourAt(mosaic.layout, x + dx, y + dy);
            sums.value[colour] += mosaic.samples[(y + dy) * mosaic.width + x + dx];
            ++sums.count[colour];
        }
    }
    return sums;
}

// Yellow, cyan and magenta each see two of the primaries equally.
void ComplementaryToRgb(const Averages& a, double* rgb)
{
    rgb[0] = a.Of(kYellow) + a.Of(kMagenta) - a.Of(kCyan);
    rgb[1] = a.Of(kGreen);
    rgb[2] = a.Of(kCyan) + a.Of(kMagenta) - a.Of(kYellow);
}

std::uint16_t To12Bits(double value)
{
    if (value <= 0)
        return 0;
    return value >= 4095.0 ? 4095 : std::uint16_t(value + 0.5);
}

} // namespace

void SigcoreDevelopPixel(const SigcoreMosaic& mosaic, const SigcoreParams& params, long x, long y, std::uint16_t* rgb)
{
    const Averages averages = AverageWindow(mosaic, x, y);
    double linear[3];
    if (mosaic.layout == kSigcoreLayoutYcgm) {
        ComplementaryToRgb(averages, linear);
    } else {
        linear[0] = averages.Of(kRed);
        linear[1] = averages.Of(kGreen);
        linear[2] = averages.Of(kBlue);
    }
    const double exposure = params.exposure / 256.0;
    // The callers give the BGGR sensor's gains in finer units.
    const double gainUnit = mosaic.layout == kSigcoreLayoutYcgm ? 128.0 : 256.0;
    rgb[0] = To12Bits(linear[0] * exposure * params.redGain / gainUnit);
    rgb[1] = To12Bits(linear[1] * exposure);
    rgb[2] = To12Bits(linear[2] * exposure * params.blueGain / gainUnit);
}
