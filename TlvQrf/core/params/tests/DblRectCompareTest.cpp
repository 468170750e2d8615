// The rectangle comparisons and scaling that the chain builders use on crop
// rectangles.
#include "settings/geometry/TlDblRect.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

CTlDblRect Rect(double left, double top, double right, double bottom)
{
    CTlDblRect rect;
    rect.left = left;
    rect.top = top;
    rect.right = right;
    rect.bottom = bottom;
    return rect;
}

void ExpectRect(const CTlDblRect& rect, double left, double top, double right, double bottom)
{
    EXPECT_EQ(left, rect.left);
    EXPECT_EQ(top, rect.top);
    EXPECT_EQ(right, rect.right);
    EXPECT_EQ(bottom, rect.bottom);
}

} // namespace

TEST(DblRectCompare, EqualOnlyWhenAllFourCoordinatesAre)
{
    const CTlDblRect base = Rect(10, 20, 110, 220);
    const double kNaN = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        CTlDblRect other;
        bool equal;
    } cases[] = {
        {"same", Rect(10, 20, 110, 220), true},
        {"left", Rect(11, 20, 110, 220), false},
        {"top", Rect(10, 21, 110, 220), false},
        {"right", Rect(10, 20, 110.5, 220), false},
        {"bottom", Rect(10, 20, 110, 219.999), false},
        {"left and top swapped", Rect(20, 10, 110, 220), false},
        {"not a number", Rect(kNaN, 20, 110, 220), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.equal, base.IsEqual(c.other));
        EXPECT_EQ(c.equal, c.other.IsEqual(base));
        EXPECT_EQ(!c.equal, base.IsDifferent(c.other));
        EXPECT_EQ(!c.equal, c.other.IsDifferent(base));
    }
}

TEST(DblRectCompare, ScaleMultipliesEveryCoordinateAndReturnsTheRectangle)
{
    const struct {
        double factor;
        double left, top, right, bottom;
    } cases[] = {
        {0.5, 5, 10, 55.5, 110},
        {2.0, 20, 40, 222, 440},
        {1.0, 10, 20, 111, 220},
        {0.0, 0, 0, 0, 0},
        {-1.0, -10, -20, -111, -220},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.factor);
        CTlDblRect rect = Rect(10, 20, 111, 220);
        CTlDblRect& result = rect.Scale(c.factor);
        EXPECT_EQ(&rect, &result);
        ExpectRect(rect, c.left, c.top, c.right, c.bottom);
    }
    CTlDblRect rect = Rect(8, 4, 16, 12);
    rect.Scale(0.5).Scale(0.5);
    ExpectRect(rect, 2, 1, 4, 3);
}
