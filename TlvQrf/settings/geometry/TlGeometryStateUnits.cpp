// Conversions between the caller's units and the inches and pixels per
// inch the step keeps.
#include "settings/geometry/TlGeometryState.h"

namespace {

constexpr double kCentimetresPerInch = 2.54;

// Units of the type in one inch; 0 for an unknown type.
double LengthUnitsPerInch(int unitType)
{
    switch (unitType) {
    case kTlUnitTypeInch:
        return 1;
    case kTlUnitTypeCentimetre:
        return kCentimetresPerInch;
    case kTlUnitTypeMillimetre:
        return 25.4;
    case kTlUnitTypePica:
        return 6;
    case kTlUnitTypePoint:
        return 72;
    default:
        return 0;
    }
}

constexpr int kResolutionPerInch = 0;
constexpr int kResolutionPerCentimetre = 1;

} // namespace

double CTlGeometryState::LengthIn(double inches, int unitType) const
{
    return inches * LengthUnitsPerInch(unitType);
}

double CTlGeometryState::ResolutionIn(double pixelsPerInch, int unitType) const
{
    if (unitType == kResolutionPerInch)
        return pixelsPerInch;
    if (unitType == kResolutionPerCentimetre)
        return pixelsPerInch * (1 / kCentimetresPerInch);
    return 0;
}

CTlMeasure CTlGeometryState::MakeLength(double value, int unitType) const
{
    // Inches and unknown types keep the value; the others divide by their
    // units per inch, as a multiplication by the reciprocal.
    const double perInch = LengthUnitsPerInch(unitType);
    const double inches = perInch > 1 ? value * (1 / perInch) : value;
    return CTlMeasure::Length(inches);
}

CTlMeasure CTlGeometryState::MakeResolution(double value, int unitType) const
{
    return CTlMeasure::PixelsPerInch(unitType == kResolutionPerCentimetre ? value * kCentimetresPerInch : value);
}
