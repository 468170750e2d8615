// Sampling of the bump curves into tables: the ring of points across the
// seam, overlapping bumps, the circular and centred outputs and every entry
// width.
#include "BumpCurveTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace tlstate_test;

namespace {

constexpr double kPi = 3.14159265359;
constexpr int kFull = 65536;

// The curve values E(s) at s = j / count, read through the 8-byte entries of
// the hue curve's plain output.
std::vector<double> CurveValues(const Points& points, int count)
{
    std::vector<double> values(count);
    MakePointCurve(points).FillTable(values.data(), 8, count, kFull, 0.0, 1.0, 0);
    return values;
}

// One bump's value at `distance` from its peak.
double Bump(double height, double halfWidth, double distance)
{
    const double d = std::fabs(distance);
    return d < halfWidth ? height / 2 * (1 - std::cos(kPi / halfWidth * (halfWidth - d))) : 0.0;
}

TEST(BumpCurveSampling, EmptyHueCurveIsTheIdentityHueMapping)
{
    std::vector<std::uint16_t> table(kFull);
    EXPECT_EQ(kFull, MakePointCurve({}).FillTable(table.data(), 2, kFull, kFull, 0.0, 1.0, 1));
    for (int j = 0; j < kFull; ++j)
        ASSERT_EQ(j, table[j]) << j;

    // The offset moves every hue back by half of it.
    std::vector<double> hues(8);
    MakePointCurve({}, 0.5).FillTable(hues.data(), 8, 8, kFull, 0.0, 1.0, 1);
    for (int j = 0; j < 8; ++j)
        EXPECT_DOUBLE_EQ(std::fmod(j / 8.0 - 0.25 + 2, 1), hues[j]) << j;
}

TEST(BumpCurveSampling, EmptyChromaCurveGivesTheMiddleValue)
{
    std::vector<std::uint16_t> table(kFull, 0);
    EXPECT_EQ(kFull, MakeLinearCurve({}, 0).GetTable(1, table.data(), 2, kFull, kFull, 60));
    for (int j = 0; j < kFull; ++j)
        ASSERT_EQ(32768, table[j]) << j;
}

TEST(BumpCurveSampling, BumpReachesAcrossTheSeam)
{
    const int count = 200;
    const std::vector<double> values = CurveValues({{0.95, 0.5, 0.1}}, count);
    for (int j = 0; j < count; ++j) {
        const double s = 1.0 * j / count;
        const double distance = std::min(std::fabs(s - 0.95), std::fabs(s + 1 - 0.95));
        EXPECT_NEAR(Bump(0.5, 0.1, distance), values[j], 1e-12) << "s = " << s;
    }
    EXPECT_NEAR(0.25, values[0], 1e-12) << "halfway down the bump at hue 0";
    EXPECT_NEAR(values[190 - 8], values[190 + 8], 1e-12) << "symmetric about its peak";
    EXPECT_GT(values[9], 0.0) << "still raised just after the seam";
    EXPECT_EQ(0.0, values[10]) << "its foot at 0.05";
}

TEST(BumpCurveSampling, OverlappingBumpsCrossFadeWithoutAddingUp)
{
    const Points both = {{0.3, 1, 0.2}, {0.45, 1, 0.2}};
    const int count = 400;
    const std::vector<double> values = CurveValues(both, count);
    for (int j = 120; j <= 180; ++j) // 0.30 .. 0.45
        EXPECT_NEAR(1.0, values[j], 1e-12) << "s = " << j / 400.0;
    EXPECT_NEAR(Bump(1, 0.2, 0.15), values[60], 1e-12) << "only the first bump at 0.15";

    // Each bump's share at 0.33: one of them at height 0 leaves the other's term.
    std::vector<double> share(100);
    MakePointCurve({{0.3, 1, 0.2}, {0.45, 0, 0.2}}).FillTable(share.data(), 8, 100, kFull, 0.0, 1.0, 0);
    EXPECT_NEAR(0.9045, share[33], 1e-4);
    MakePointCurve({{0.3, 0, 0.2}, {0.45, 1, 0.2}}).FillTable(share.data(), 8, 100, kFull, 0.0, 1.0, 0);
    EXPECT_NEAR(0.0955, share[33], 1e-4);
}

TEST(BumpCurveSampling, BumpOfNoWidthAddsNothing)
{
    const std::vector<double> values = CurveValues({{0.3, 1, 0.0}, {0.32, 1, 0.1}}, 100);
    EXPECT_NEAR(Bump(1, 0.1, 0.0), values[32], 1e-12);
    EXPECT_NEAR(Bump(1, 0.1, 0.02), values[30], 1e-12) << "only the wide bump counts at the narrow one's peak";
    for (double v : values)
        EXPECT_TRUE(std::isfinite(v));
}

TEST(BumpCurveSampling, CentredOutputStopsOneLevelShortOfTheTop)
{
    std::vector<std::uint16_t> table(4);
    MakeLinearCurve({}, 1.0).GetTable(1, table.data(), 2, 4, kFull, 0);
    EXPECT_EQ(kFull - 1, table[0]);
    MakeLinearCurve({{0.5, 1, 0.5}}, 0.0).GetTable(1, table.data(), 2, 4, kFull, 0);
    EXPECT_EQ(kFull - 1, table[2]) << "offset + E = 1 at the peak";
    EXPECT_LT(table[0], table[1]);

    std::vector<double> k(4);
    MakeLinearCurve({}, 1.0).GetTable(1, k.data(), 8, 4, kFull, 0);
    EXPECT_DOUBLE_EQ(2 - 1.0 / kFull, k[0]);
    MakeLinearCurve({}, -1.0).GetTable(1, k.data(), 8, 4, kFull, 0);
    EXPECT_EQ(0.0, k[0]);
    MakeLinearCurve({{0.5, -1, 0.5}}, -0.5).GetTable(1, table.data(), 2, 4, kFull, 0);
    EXPECT_EQ(0, table[2]) << "limited at the bottom";
}

// One table at every width and both outputs; the curve is -0.5 at s = 0.5
// (E * levels = -2.5 with 5 levels) and 0 at s = 0 (the sample one turn on).
struct WidthCase {
    int bytesPerEntry;
    int flags;
    double expectedAtPeak;
    double expectedAtZero;
};

double Entry(const std::vector<unsigned char>& table, int bytesPerEntry, int index)
{
    const unsigned char* at = table.data() + index * bytesPerEntry;
    switch (bytesPerEntry) {
    case 1:
        return *at;
    case 2: {
        std::uint16_t v;
        std::memcpy(&v, at, 2);
        return v;
    }
    case 4: {
        std::int32_t v;
        std::memcpy(&v, at, 4);
        return v;
    }
    default: {
        double v;
        std::memcpy(&v, at, 8);
        return v;
    }
    }
}

TEST(BumpCurveSampling, HueCurveEntriesAtEveryWidth)
{
    const WidthCase cases[] = {
        // Plain output: E * levels rounded half away from zero (-3), around the middle.
        {1, 0, 125, 128},
        {2, 0, 32765, 32768},
        {4, 0, -3, 0},
        {8, 0, -0.5, 0},
        // Circular output: h = fmod(s + E/2 + 2, 1) = 0.25 and 0; trunc(5h + 0.5).
        {1, 1, 1, 0},
        {2, 1, 1, 0},
        {4, 1, 1, 0},
        {8, 1, 0.25, 0},
    };
    const CTlPointCurve curve = MakePointCurve({{0.5, -0.5, 0.25}});
    for (const WidthCase& c : cases) {
        std::vector<unsigned char> table(3 * 8, 0xEE);
        // Samples at 0.5 and 1.0: the second starts a new turn of the ring.
        EXPECT_EQ(2, curve.FillTable(table.data(), c.bytesPerEntry, 2, 5, 0.5, 1.5, c.flags));
        EXPECT_EQ(c.expectedAtPeak, Entry(table, c.bytesPerEntry, 0)) << c.bytesPerEntry << " bytes, flags " << c.flags;
        EXPECT_EQ(c.expectedAtZero, Entry(table, c.bytesPerEntry, 1)) << c.bytesPerEntry << " bytes, flags " << c.flags;
        EXPECT_EQ(0xEE, table[2 * c.bytesPerEntry]) << "nothing past the table";
    }
}

TEST(BumpCurveSampling, ChromaCurveEntriesAtEveryWidth)
{
    const WidthCase cases[] = {
        // Plain output: (offset + E) * levels = (0.25 - 0.5) * 10 = -2.5 -> -3; at 0: 2.5 -> 3.
        {1, 0, 125, 131},
        {2, 0, 32765, 32771},
        {4, 0, -3, 3},
        {8, 0, -0.5, 0}, // the double entry is E, without the offset
    };
    const Points points = {{0.5, -0.5, 0.25}};
    const CTlLinearCurve curve = MakeLinearCurve(points, 0.25);
    for (const WidthCase& c : cases) {
        std::vector<unsigned char> table(2 * 8, 0xEE);
        EXPECT_EQ(2, curve.SampleList(table.data(), c.bytesPerEntry, 2, 10, 0.5, 1.5, c.flags, points.data(), 1, 0.25));
        EXPECT_EQ(c.expectedAtPeak, Entry(table, c.bytesPerEntry, 0)) << c.bytesPerEntry << " bytes";
        EXPECT_EQ(c.expectedAtZero, Entry(table, c.bytesPerEntry, 1)) << c.bytesPerEntry << " bytes";
    }
    // Centred: k = 0.25 - 0.5 + 1 = 0.75 -> trunc(10 * 0.75 / 2) = 3; at 0: 1.25 -> 6.
    for (int width : {1, 2, 4}) {
        std::vector<unsigned char> table(2 * 8, 0xEE);
        curve.SampleList(table.data(), width, 2, 10, 0.5, 1.5, 1, points.data(), 1, 0.25);
        EXPECT_EQ(3, Entry(table, width, 0)) << width;
        EXPECT_EQ(6, Entry(table, width, 1)) << width;
    }
    std::vector<unsigned char> table(16);
    curve.SampleList(table.data(), 8, 2, 10, 0.5, 1.5, 1, points.data(), 1, 0.25);
    EXPECT_EQ(0.75, Entry(table, 8, 0));
}

TEST(BumpCurveSampling, IntegerEntriesWrapAroundTheirRange)
{
    // E = 1 at the peak with 200 levels: 200 + 128 = 328, stored modulo 256.
    std::uint8_t bytes[1] = {};
    MakePointCurve({{0.0, 1, 0.5}}).FillTable(bytes, 1, 1, 200, 0.0, 1.0, 0);
    EXPECT_EQ(72, bytes[0]);
    // A hue a quarter level below 1 rounds up to `levels`, which wraps to 0 at 16 bits.
    std::uint16_t words[1] = {0xEEEE};
    MakePointCurve({}).FillTable(words, 2, 1, kFull, 1.0 - 0.25 / kFull, 2.0, 1);
    EXPECT_EQ(0, words[0]);
}

TEST(BumpCurveSampling, NothingIsWrittenForNoEntriesOrAnUnknownWidth)
{
    const CTlPointCurve curve = MakePointCurve({{0.5, 1, 0.5}});
    std::vector<unsigned char> table(64, 0xEE);
    EXPECT_EQ(0, curve.FillTable(table.data(), 2, 0, kFull, 0.0, 1.0, 1));
    EXPECT_EQ(-4, curve.FillTable(table.data(), 2, -4, kFull, 0.0, 1.0, 1));
    EXPECT_EQ(8, curve.FillTable(table.data(), 3, 8, kFull, 0.0, 1.0, 1));
    EXPECT_EQ(-1, MakeLinearCurve({}, 0).GetTable(1, table.data(), 2, -1, kFull, 0));
    for (unsigned char byte : table)
        ASSERT_EQ(0xEE, byte);
}

TEST(BumpCurveSampling, SeveralTurnsRepeatTheFirst)
{
    const Points points = {{0.1, 0.4, 0.3}, {0.6, -0.3, 0.2}, {0.9, 0.8, 0.15}};
    std::vector<double> three(300);
    MakePointCurve(points).FillTable(three.data(), 8, 300, kFull, 0.0, 3.0, 0);
    const std::vector<double> one = CurveValues(points, 100);
    for (int j = 0; j < 300; ++j)
        ASSERT_NEAR(one[j % 100], three[j], 1e-12) << j;
}

TEST(BumpCurveSampling, StoredPointsOutOfOrderOrOutOfRangeStayBounded)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Points cases[] = {
        {{0.8, 0.5, 0.3}, {0.2, 0.5, 0.3}},
        {{-inf, 1, 0.2}, {0.5, 1, 0.2}},
        {{nan, 1, 0.2}, {0.5, nan, 0.2}},
        {{3.5, 1, 0.2}, {-7.0, 1, inf}},
        {{0.5, 1e300, 0.2}},
    };
    for (const Points& points : cases) {
        std::vector<std::uint16_t> table(kFull);
        for (int flags : {0, 1})
            EXPECT_EQ(kFull, MakePointCurve(points).FillTable(table.data(), 2, kFull, kFull, 0.0, 1.0, flags));
        std::vector<std::int32_t> chroma(kFull);
        EXPECT_EQ(kFull, MakeLinearCurve(points, 0).GetTable(1, chroma.data(), 4, kFull, kFull, 0));
    }
}

} // namespace
