// The vignette's lens model: how two circles on the vertical axis meet, the
// area that discs share, the pupils, the shortfall of light towards the
// corners and its gain codes.
#include "filters/vignette/TlVignetteCircles.h"
#include "filters/vignette/TlVignetteModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

CTlCircle Circle(double y, double radius, int id = 0)
{
    CTlCircle circle;
    circle.id = id;
    circle.y = y;
    circle.radius = radius;
    return circle;
}

TEST(VignetteCirclesTest, IntersectionStatusOfEveryRelation)
{
    const struct {
        const char* name;
        CTlCircle a;
        CTlCircle b;
        int status;
        double pointY; // of point 1, where there is one
    } cases[] = {
        {"same circle", Circle(0, 1), Circle(0, 1), kTlSameCircle, NAN},
        {"crossing", Circle(0, 1), Circle(1, 1), kTlCrossing, 0.5},
        {"crossing, second below", Circle(0, 2), Circle(-2, 1.5), kTlCrossing, -1.4375},
        {"apart", Circle(0, 1), Circle(3, 1), kTlApart, NAN},
        {"first inside second", Circle(0.5, 1), Circle(0, 3), kTlFirstInsideSecond, NAN},
        {"second inside first", Circle(0, 3), Circle(0.5, 1), kTlSecondInsideFirst, NAN},
        {"touching outside", Circle(0, 1), Circle(3, 2), kTlTouchingOutside, 1.0},
        {"first touching inside", Circle(0, 1), Circle(1, 2), kTlFirstTouchingInside, -1.0},
        {"second touching inside", Circle(0, 2), Circle(1, 1), kTlSecondTouchingInside, 2.0},
        {"negative radius taken as its size", Circle(0, -1), Circle(1, 1), kTlCrossing, 0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTlCirclePair pair;
        pair.a = c.a;
        pair.b = c.b;
        IntersectCircles(pair);
        EXPECT_EQ(c.status, pair.status);
        if (std::isnan(c.pointY))
            continue;
        EXPECT_NEAR(c.pointY, pair.y1, 1e-12);
        EXPECT_NEAR(pair.y1, pair.y2, 1e-12);
        EXPECT_NEAR(pair.x1, -pair.x2, 1e-12);
        // Each circle's angles point at the meeting points.
        for (const CTlCircle* circle : {&pair.a, &pair.b}) {
            const double r = std::fabs(circle->radius);
            const double y1 = circle->y + r * std::sin(circle->angle1);
            const double y2 = circle->y + r * std::sin(circle->angle2);
            EXPECT_NEAR(pair.y1, y1, 1e-12);
            EXPECT_NEAR(pair.y1, y2, 1e-12);
            EXPECT_NEAR(std::fabs(pair.x1), std::fabs(r * std::cos(circle->angle1)), 1e-12);
        }
    }
}

// The common area by slicing: at each height the narrowest chord.
double AreaBySlices(const std::vector<CTlCircle>& circles)
{
    double top = HUGE_VAL, bottom = -HUGE_VAL;
    for (const CTlCircle& c : circles) {
        top = std::min(top, c.y + c.radius);
        bottom = std::max(bottom, c.y - c.radius);
    }
    if (top <= bottom)
        return 0.0;
    const int slices = 200000;
    const double step = (top - bottom) / slices;
    double area = 0.0;
    for (int i = 0; i < slices; ++i) {
        const double y = bottom + (i + 0.5) * step;
        double half = HUGE_VAL;
        for (const CTlCircle& c : circles)
            half = std::min(half, std::sqrt(std::max(0.0, c.radius * c.radius - (y - c.y) * (y - c.y))));
        area += 2.0 * half * step;
    }
    return area;
}

TEST(VignetteCirclesTest, CommonAreaAgreesWithSlicing)
{
    const struct {
        const char* name;
        std::vector<CTlCircle> circles;
    } cases[] = {
        {"one disc", {Circle(2, 1.5, -1)}},
        {"disjoint", {Circle(0, 1, -1), Circle(3, 1, -2)}},
        {"nested", {Circle(0, 3, -1), Circle(0.5, 1, -2)}},
        {"touching outside", {Circle(0, 1, -1), Circle(2, 1, -2)}},
        {"touching inside", {Circle(0, 2, -1), Circle(1, 1, -2)}},
        {"two crossing", {Circle(0, 1, -1), Circle(1, 1, -2)}},
        {"three crossing", {Circle(0, 2, -1), Circle(1.5, 1.5, -2), Circle(-1, 2.2, -3)}},
        {"three, one inside the others' lens", {Circle(0, 2, -1), Circle(1, 2, -2), Circle(0.5, 0.4, -3)}},
        {"pupils and a level disc",
         {Circle(-3.1, 18.0, -1), Circle(0, 23.8, -2), Circle(6.4, 20.5, -3), Circle(12.0, 15.0, 200)}},
        {"four crossing in turn", {Circle(0, 5, -1), Circle(3, 4, -2), Circle(-2, 4.5, -3), Circle(1, 3.2, 7)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const double expected = AreaBySlices(c.circles);
        EXPECT_NEAR(expected, TlCommonDiscArea(c.circles), 1e-6 * std::max(1.0, expected));
    }
}

TEST(VignetteModelTest, PupilsFromLensDataOrTheDefaults)
{
    const std::uint8_t noPosition[6] = {0x00, 0x30, 0xF0, 0x40, 0x22, 0x50};
    for (const std::uint8_t* data : {static_cast<const std::uint8_t*>(nullptr), noPosition}) {
        const TlPupils pupils = TlPupilsFromLensData(data);
        EXPECT_EQ(38.0, pupils.distance[0]);
        EXPECT_EQ(47.6, pupils.distance[1]);
        EXPECT_EQ(28.4, pupils.distance[2]);
        EXPECT_EQ(23.8, pupils.radius[1]);
        EXPECT_EQ(14.200000000000001, pupils.radius[2]);
        EXPECT_EQ(1.0, pupils.minFNumber);
    }
    const std::uint8_t lens[6] = {40, 48, 0xF0, 72, 50, 24}; // positions 40, -16, 50
    const TlPupils pupils = TlPupilsFromLensData(lens);
    EXPECT_DOUBLE_EQ(50.0, pupils.distance[0]);
    EXPECT_DOUBLE_EQ(-125.0, pupils.distance[1]);
    EXPECT_DOUBLE_EQ(40.0, pupils.distance[2]);
    EXPECT_DOUBLE_EQ(4.0, pupils.minFNumber);              // 2^(48/24)
    EXPECT_DOUBLE_EQ(125.0 * 0.5 / 2.0, pupils.radius[1]); // 2^((72-48)/24)
    EXPECT_DOUBLE_EQ(40.0 * 0.5 / 0.5, pupils.radius[2]);  // 2^((24-48)/24)
}

TEST(VignetteModelTest, ShortfallGrowsTowardsTheCornersAndWithTheAperture)
{
    const TlPupils pupils = TlPupilsFromLensData(nullptr);
    const double diagonal = 28.223933106496695;
    const TlShortfalls wide = TlLightShortfalls(pupils, 1.0, diagonal);
    const TlShortfalls narrow = TlLightShortfalls(pupils, 8.0, diagonal);
    EXPECT_EQ(0.0, wide[0]);
    for (int k = 1; k <= kTlFieldSteps; ++k) {
        SCOPED_TRACE(k);
        EXPECT_GE(wide[std::size_t(k)], wide[std::size_t(k) - 1]);
        EXPECT_GE(narrow[std::size_t(k)], 0.0);
    }
    EXPECT_GT(wide[kTlFieldSteps], 0.1);
    EXPECT_GT(wide[kTlFieldSteps], narrow[kTlFieldSteps]);
    // A larger sensor reaches farther out and loses more light there.
    EXPECT_GT(TlLightShortfalls(pupils, 1.0, 2 * diagonal)[kTlFieldSteps], wide[kTlFieldSteps]);
}

TEST(VignetteModelTest, GainCodesAndTheTermsTheyGive)
{
    const struct {
        double shortfall;
        std::uint16_t code;
        std::uint64_t termOf4096;
    } cases[] = {
        {0.0, 0x0000, 0},         {-0.3, 0x0000, 0},   {0.25, 0x0400, 1024}, {0.5, 0x0800, 2048},
        {0.75, 0x0C00, 3072},     {1.0, 0x1000, 4096}, {3.0, 0x2800, 12288}, {2048.0, 0xC000, 65535},
        {8192.0, 0xE000, 65535},  // exponent 14 shifts left and saturates
        {20000.0, 0xF388, 65535}, // exponent 15
        {40000.0, 0xFFFF, 65535}, // beyond what a code holds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shortfall);
        const std::uint16_t code = TlGainCode(c.shortfall);
        EXPECT_EQ(c.code, code);
        EXPECT_EQ(c.termOf4096, TlGainTerm(code, 4096));
    }
    // A small term is exact enough to brighten by the shortfall.
    EXPECT_EQ(std::uint64_t(100 * 0.25), TlGainTerm(TlGainCode(0.25), 100));
}

TEST(VignetteModelTest, RadialCodesCoverHalfTheDiagonalInQuarterPixels)
{
    TlShortfalls shortfalls{};
    for (int k = 0; k <= kTlFieldSteps; ++k)
        shortfalls[std::size_t(k)] = 0.05 * k;
    const struct {
        long width, height;
        double aspect;
        std::size_t count;
    } cases[] = {{100, 20, 1.0, 201}, {601, 400, 1.0, 1441}, {1, 1, 1.0, 1}, {100, 50, 2.0, 281}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const std::vector<std::uint16_t> codes = TlRadialCodes(shortfalls, c.width, c.height, c.aspect);
        ASSERT_EQ(c.count, codes.size());
        EXPECT_EQ(0, codes.front());
        EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    }
}

} // namespace
