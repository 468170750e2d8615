#include "settings/geometry/TlMeasure.h"

#include <gtest/gtest.h>

namespace {

struct SUnitCase {
    int unitType;
    double perUnit;
    double expectedPpi;
};

TEST(Measure, ResolutionConstructorConvertsToPixelsPerInch)
{
    const SUnitCase cases[] = {
        {kTlUnitTypeInch, 300, 300},
        {kTlUnitTypeCentimetre, 100, 254},
        {kTlUnitTypeMillimetre, 10, 254},
        {kTlUnitTypePica, 50, 300},
        {kTlUnitTypePoint, 2, 144},
        {0, 123, 123},
        {6, 123, 123},
    };
    for (const SUnitCase& c : cases) {
        const CTlMeasure m(c.perUnit, c.unitType);
        EXPECT_DOUBLE_EQ(c.expectedPpi, m.value) << "unit type " << c.unitType;
        EXPECT_EQ(kTlUnitPixelsPerInch, m.unit) << "unit type " << c.unitType;
    }
}

TEST(Measure, NamedConstructorsCarryTheirUnitCode)
{
    EXPECT_EQ(kTlUnitInches, CTlMeasure::Length(2).unit);
    EXPECT_EQ(2, CTlMeasure::Length(2).value);
    EXPECT_EQ(kTlUnitPixelsPerInch, CTlMeasure::PixelsPerInch(300).unit);
    EXPECT_NE(CTlMeasure::Length(1), CTlMeasure::PixelsPerInch(1));
}

} // namespace
