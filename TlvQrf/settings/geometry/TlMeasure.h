// A measured value: a double with a unit code. The geometry only copies and
// stores the code; it never converts by it.
#pragma once

#include <cstdint>

// Unit codes carried by a measured value.
enum : std::int32_t {
    kTlUnitInches = 0,        // a length in inches
    kTlUnitPixelsPerInch = 1, // a resolution
};

// Unit types a caller gives a value in, converted to inches.
enum : int {
    kTlUnitTypeInch = 1,
    kTlUnitTypeCentimetre = 2,
    kTlUnitTypeMillimetre = 3,
    kTlUnitTypePica = 4,
    kTlUnitTypePoint = 5,
};

class CTlMeasure {
public:
    CTlMeasure() = default;
    // A resolution: `perUnit` pixels per unit of `unitType`, converted to
    // pixels per inch; an unknown unit type keeps the value.
    CTlMeasure(double perUnit, int unitType);

    static CTlMeasure Length(double inches);
    static CTlMeasure PixelsPerInch(double ppi);

    bool operator==(const CTlMeasure& other) const { return value == other.value && unit == other.unit; }
    bool operator!=(const CTlMeasure& other) const { return !(*this == other); }

    double value = 0;
    std::int32_t unit = kTlUnitInches;
};
