#include "UnsharpMaskBand.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsUnit(double value)
{
    return std::isfinite(value) && value >= 0.0 && value <= 1.0;
}

// Length of the full-effect part, going up from start.
double Length(const UsmBand& band)
{
    const double length = band.end - band.start;
    return length < 0.0 ? length + 1.0 : length;
}

// Weight at `distance` outside an edge whose soft part is `softness` wide.
double Ramp(double distance, double softness)
{
    return softness > 0.0 && distance < softness ? 1.0 - distance / softness : 0.0;
}

} // namespace

bool UsmBandIsValid(const UsmBand& band)
{
    return IsUnit(band.start) && IsUnit(band.startSoftness) && IsUnit(band.end) && IsUnit(band.endSoftness);
}

bool UsmBandCoversAll(const UsmBand& band)
{
    return Length(band) >= 1.0;
}

double UsmBandWeight(const UsmBand& band, double hue)
{
    const double length = Length(band);
    double offset = hue - band.start; // going up from start, around the circle
    offset -= std::floor(offset);
    if (offset <= length)
        return 1.0;
    return std::max(Ramp(offset - length, band.endSoftness), Ramp(1.0 - offset, band.startSoftness));
}
