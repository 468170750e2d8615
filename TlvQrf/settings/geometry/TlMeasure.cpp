#include "settings/geometry/TlMeasure.h"

namespace {

// How many of the unit type make one inch; 1 for an unknown type.
double UnitsPerInch(int unitType)
{
    switch (unitType) {
    case kTlUnitTypeCentimetre:
        return 2.54;
    case kTlUnitTypeMillimetre:
        return 25.4;
    case kTlUnitTypePica:
        return 6;
    case kTlUnitTypePoint:
        return 72;
    default:
        return 1;
    }
}

CTlMeasure Make(double value, std::int32_t unit)
{
    CTlMeasure m;
    m.value = value;
    m.unit = unit;
    return m;
}

} // namespace

CTlMeasure::CTlMeasure(double perUnit, int unitType)
    : value(perUnit * UnitsPerInch(unitType)), unit(kTlUnitPixelsPerInch)
{
}

CTlMeasure CTlMeasure::Length(double inches)
{
    return Make(inches, kTlUnitInches);
}

CTlMeasure CTlMeasure::PixelsPerInch(double ppi)
{
    return Make(ppi, kTlUnitPixelsPerInch);
}
