#include "settings/geometry/TlPoint.h"
#include "settings/geometry/TlRect.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <utility>

namespace {

using XY = std::pair<int, int>;

XY Coordinates(const CTlPoint& p) { return {p.GetX(), p.GetY()}; }

struct RatioCase {
    int x;
    int y;
    double ratio;
};

TEST(IntPoint, RatioIsXOverY)
{
    const RatioCase cases[] = {
        {3, 2, 1.5}, {-3, 2, -1.5}, {1, 4, 0.25}, {0, 5, 0.0}, {INT_MIN, -1, 2147483648.0},
        // No ratio without a y: 0 rather than an infinity or NaN.
        {5, 0, 0.0}, {0, 0, 0.0},
    };
    for (const RatioCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(c.ratio, CTlPoint(c.x, c.y).GetRatio());
    }
}

struct OffsetCase {
    XY start;
    XY delta;
    XY sum;
    XY difference;
};

// Offset, +=, + and -= over one table; sums beyond the int range saturate.
TEST(IntPoint, OffsetsAddAndSubtract)
{
    const OffsetCase cases[] = {
        {{1, 2}, {10, 20}, {11, 22}, {-9, -18}},
        {{-5, 7}, {5, -7}, {0, 0}, {-10, 14}},
        {{0, 0}, {0, 0}, {0, 0}, {0, 0}},
        {{INT_MAX - 1, INT_MIN + 1}, {5, -5}, {INT_MAX, INT_MIN}, {INT_MAX - 6, INT_MIN + 6}},
        {{INT_MIN + 1, INT_MAX - 1}, {-5, 5}, {INT_MIN, INT_MAX}, {INT_MIN + 6, INT_MAX - 6}},
        // INT_MIN has no negation; subtracting it adds INT_MAX.
        {{-1, 0}, {INT_MIN, INT_MIN}, {INT_MIN, INT_MIN}, {INT_MAX - 1, INT_MAX}},
    };
    for (const OffsetCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start.first << "," << c.start.second);
        const CTlPoint start(c.start.first, c.start.second);
        const CTlPoint delta(c.delta.first, c.delta.second);

        CTlPoint byInts = start;
        byInts.Offset(delta.GetX(), delta.GetY());
        CTlPoint byPoint = start;
        byPoint.Offset(delta);
        CTlPoint added = start;
        added += delta;
        CTlPoint subtracted = start;
        subtracted -= delta;

        EXPECT_EQ(c.sum, Coordinates(byInts));
        EXPECT_EQ(c.sum, Coordinates(byPoint));
        EXPECT_EQ(c.sum, Coordinates(added));
        EXPECT_EQ(c.sum, Coordinates(start + delta));
        EXPECT_EQ(c.difference, Coordinates(subtracted));
        EXPECT_EQ(c.start, Coordinates(start));
    }
}

struct InsideCase {
    XY point;
    bool inside;
};

// Rectangle top 10, left 20, bottom 30, right 40: the left and top edges
// belong to it, the right and bottom edges do not.
TEST(IntPoint, InsideExcludesRightAndBottomEdges)
{
    const CTlRect rect(10, 20, 30, 40);
    const InsideCase cases[] = {
        {{20, 10}, true},  {{39, 29}, true},  {{30, 20}, true},  {{40, 20}, false}, {{30, 30}, false},
        {{19, 20}, false}, {{30, 9}, false},  {{40, 30}, false}, {{20, 29}, true},  {{39, 10}, true},
    };
    for (const InsideCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.first << "," << c.point.second);
        const CTlPoint point(c.point.first, c.point.second);
        EXPECT_EQ(c.inside, point.IsInside(rect));
        EXPECT_EQ(c.inside, rect.Contains(point));
    }
    EXPECT_FALSE(CTlPoint(0, 0).IsInside(CTlRect()));
    EXPECT_FALSE(CTlPoint(5, 5).IsInside(CTlRect(10, 10, 0, 0)));
}

TEST(IntPoint, ArraysCarryXThenY)
{
    CTlPoint point;
    EXPECT_EQ(XY(0, 0), Coordinates(point));
    const int values[2] = {-4, 9};
    point.Set(values);
    EXPECT_EQ(XY(-4, 9), Coordinates(point));

    int out[2] = {0, 0};
    EXPECT_EQ(out, point.Get(out));
    EXPECT_EQ(-4, out[0]);
    EXPECT_EQ(9, out[1]);

    point.Set(nullptr);
    EXPECT_EQ(nullptr, point.Get(nullptr));
    EXPECT_EQ(XY(-4, 9), Coordinates(point));
}

struct EqualsCase {
    XY a;
    XY b;
    bool equal;
};

TEST(IntPoint, EqualsComparesBothCoordinates)
{
    const EqualsCase cases[] = {
        {{1, 2}, {1, 2}, true}, {{1, 2}, {2, 1}, false}, {{1, 2}, {1, 3}, false},
        {{1, 2}, {0, 2}, false}, {{INT_MIN, INT_MAX}, {INT_MIN, INT_MAX}, true},
    };
    for (const EqualsCase& c : cases) {
        const CTlPoint a(c.a.first, c.a.second);
        const CTlPoint b(c.b.first, c.b.second);
        EXPECT_EQ(c.equal, a.Equals(b));
        EXPECT_EQ(!c.equal, a.NotEquals(b));
    }
}

struct ScaleCase {
    XY start;
    double factor;
    XY scaled;
};

// trunc(coordinate x factor), toward zero; the int range saturates and a
// product that is not a number (0 x infinity, NaN) leaves the coordinate.
TEST(IntPoint, ScaleTruncatesTowardZero)
{
    const ScaleCase cases[] = {
        {{3, -3}, 0.5, {1, -1}},
        {{7, 9}, 1.5, {10, 13}},       // 10.5, 13.5
        {{-7, 7}, -1.5, {10, -10}},    // 10.5, -10.5
        {{5, 5}, 0.0, {0, 0}},
        {{1000000000, -1000000000}, 4.0, {INT_MAX, INT_MIN}},
        {{INT_MAX, INT_MIN}, 1.0, {INT_MAX, INT_MIN}},
        {{0, 5}, INFINITY, {0, INT_MAX}},
        {{2, -3}, NAN, {2, -3}},
    };
    for (const ScaleCase& c : cases) {
        SCOPED_TRACE(c.factor);
        CTlPoint point(c.start.first, c.start.second);
        point.Scale(c.factor);
        EXPECT_EQ(c.scaled, Coordinates(point));
    }
}

// Divide scales by the reciprocal, so 49 x (1 / 49) = 0.99999999999999989
// truncates to 0; a divisor of 0 leaves the point.
TEST(IntPoint, DivideScalesByTheReciprocal)
{
    const ScaleCase cases[] = {
        {{10, -7}, 2.0, {5, -3}},    {{3, 3}, -1.0, {-3, -3}},   {{9, 9}, 3.0, {3, 3}},
        {{49, 49}, 49.0, {0, 0}},    {{10, 20}, 0.0, {10, 20}},  {{10, 20}, NAN, {10, 20}},
        {{10, 20}, INFINITY, {0, 0}}, {{1, -1}, 0.25, {4, -4}},
    };
    for (const ScaleCase& c : cases) {
        SCOPED_TRACE(c.factor);
        CTlPoint point(c.start.first, c.start.second);
        point.Divide(c.factor);
        EXPECT_EQ(c.scaled, Coordinates(point));
    }
}

// A point that logs its setters: the compound operations must go through them.
class LoggingPoint : public CTlPoint {
public:
    LoggingPoint(int x, int y) : CTlPoint(x, y) {}
    void SetX(int x) override
    {
        log += "x";
        CTlPoint::SetX(x);
    }
    void SetY(int y) override
    {
        log += "y";
        CTlPoint::SetY(y);
    }
    std::string log;
};

TEST(IntPoint, CompoundOperationsUseTheSetters)
{
    LoggingPoint point(4, 8);
    point.Scale(0.5);
    EXPECT_EQ("yx", point.log); // y before x
    point.log.clear();
    point.Offset(1, 1);
    point += CTlPoint(1, 1);
    point -= CTlPoint(1, 1);
    EXPECT_EQ("xyxyxy", point.log);
    EXPECT_EQ(XY(3, 5), Coordinates(point));
}

} // namespace
