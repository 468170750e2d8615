// Evaluation of tone curves into tables: each flag bit, the master's
// composition and contrast, the entry widths, and the natural spline.
#include "LutTestSupport.h"
#include "settings/curves/TlLutGroup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

using namespace lut_test;

namespace {

// The flag sets the raw-image library evaluates with.
constexpr int kPlain = 60;       // levels, curve, gamma
constexpr int kWithMaster = 62;  // the same through the master
constexpr int kEverything = 0x7E;

const TlLutColour kBlack = {0, 0, 0};

CTlLut NewLut(int id = 1)
{
    return CTlLut(nullptr, id, kBlack, kBlack, kBlack);
}

TEST(LutEvaluate, ResetElementGivesTheIdentityTable)
{
    CTlLut lut = NewLut();
    std::vector<std::uint16_t> table(65536, 1);
    EXPECT_EQ(65536, lut.Evaluate(table.data(), 2, 65536, 65536, 0.0, 1.0, kPlain, 1.0));
    for (std::size_t k = 0; k < table.size(); ++k)
        ASSERT_EQ(k, table[k]) << k;
}

TEST(LutEvaluate, GammaTwoLiftsTheMidtones)
{
    CTlLut lut = NewLut();
    lut.SetClampedParam(2.0);
    const std::vector<double> table = EvaluateAt(lut, 0.0, 1.0, 3, kPlain);
    EXPECT_EQ(0.0, table[0]);
    EXPECT_NEAR(std::sqrt(0.5), table[1], 1e-12);
    EXPECT_EQ(1.0, table[2]);
    EXPECT_NEAR(0.5, EvaluateOne(lut, 0.5, kPlain & ~0x20), 1e-12) << "without the gamma bit";
}

TEST(LutEvaluate, ContrastOfTheMasterStaysWithinTenthsOfTheInput)
{
    CTlLutGroup group;
    group.SetContrast(1.0); // factor 2
    auto& master = *static_cast<CTlLut*>(group.GetAt(0));
    const std::vector<double> table = EvaluateAt(master, 0.25, 0.9, 2, 0x40);
    EXPECT_NEAR(0.025, table[0], 1e-12) << "(0.25 - 0.5) * 2 + 0.5 = 0 is raised to 0.1 * 0.25";
    EXPECT_NEAR(0.99, table[1], 1e-12) << "1.3 is limited to 0.1 * 0.9 + 0.9";
    EXPECT_NEAR(0.7, EvaluateOne(master, 0.6, 0x40), 1e-12) << "(0.6 - 0.5) * 2 + 0.5";
    EXPECT_NEAR(0.6, EvaluateOne(master, 0.6, 0x10), 1e-12) << "no contrast without the bit";
}

TEST(LutEvaluate, ContrastIsTheMastersOnlyButBrightnessIsEveryElements)
{
    CTlLutGroup group;
    group.SetContrast(1.0);
    CTlLut* channel = group.AddLut(1, kBlack, kBlack, kBlack);
    EXPECT_NEAR(0.6, EvaluateOne(*channel, 0.6, 0x40), 1e-12);
    channel->SetBrightness(1.0);
    EXPECT_NEAR(0.5, EvaluateOne(*channel, 0.25, 0x40), 1e-12) << "0.25 ^ (2 ^ -1)";
    EXPECT_NEAR(0.25, EvaluateOne(*channel, 0.25, 0x10), 1e-12) << "no exponent without the bit";
}

TEST(LutEvaluate, ChannelWithoutAMasterEvaluatesAlone)
{
    CTlLut channel = NewLut(1);
    channel.SetClampedParam(2.0);
    EXPECT_EQ(EvaluateAt(channel, 0.0, 1.0, 17, kPlain), EvaluateAt(channel, 0.0, 1.0, 17, kWithMaster));
}

TEST(LutEvaluate, ChannelGoesOnThroughTheMaster)
{
    CTlLutGroup group;
    auto& master = *static_cast<CTlLut*>(group.GetAt(0));
    master.SetClampedParam(2.0);
    master.SetBrightness(1.0);
    group.SetContrast(1.0);
    CTlLut* channel = group.AddLut(1, kBlack, kBlack, kBlack);
    channel->SetClampedParam(0.5);
    const double own = 0.25 + std::pow(0.25, 2.0) - 0.25;
    const double curved = own + std::sqrt(own) - own;
    const double contrasted = std::max((curved - 0.5) * 2 + 0.5, 0.1 * curved);
    const double expected = std::sqrt(contrasted);
    EXPECT_NEAR(expected, EvaluateOne(*channel, 0.25, kWithMaster | 0x40), 1e-12);
    EXPECT_NEAR(own, EvaluateOne(*channel, 0.25, kPlain), 1e-12);
    EXPECT_EQ(EvaluateOne(master, 0.25, kPlain), EvaluateOne(master, 0.25, kWithMaster))
        << "the master does not go through itself";
}

TEST(LutEvaluate, ChannelUsesTheMastersLevels)
{
    CTlLutGroup group;
    LoadFields(*static_cast<CTlLut*>(group.GetAt(0)), {{kAtBlack, 0.25}, {kAtWhite, 0.75}, {kAtOutputLow, 0.5}});
    CTlLut* channel = group.AddLut(1, kBlack, kBlack, kBlack);
    EXPECT_NEAR(0.5 + 0.5 * 0.5, EvaluateOne(*channel, 0.5, kWithMaster | 0x08), 1e-12);
    EXPECT_NEAR(0.5, EvaluateOne(*channel, 0.25, kWithMaster | 0x08), 1e-12);
}

struct SLevelsCase {
    const char* name;
    std::initializer_list<SField> fields;
    int flags;
    double position;
    double expected;
};

TEST(LutEvaluate, InputAndOutputLevels)
{
    const SLevelsCase cases[] = {
        {"inside the input levels", {{kAtBlack, 0.25}, {kAtWhite, 0.75}}, 0x14, 0.5, 0.5},
        {"at black", {{kAtBlack, 0.25}, {kAtWhite, 0.75}}, 0x14, 0.25, 0.0},
        {"beyond white", {{kAtBlack, 0.25}, {kAtWhite, 0.75}}, 0x14, 0.875, 1.0},
        {"input levels off", {{kAtBlack, 0.25}, {kAtWhite, 0.75}}, 0x10, 0.375, 0.375},
        {"output low", {{kAtOutputLow, 0.25}, {kAtOutputHigh, 0.75}}, 0x18, 0.0, 0.25},
        {"output high", {{kAtOutputLow, 0.25}, {kAtOutputHigh, 0.75}}, 0x18, 1.0, 0.75},
        {"output levels off", {{kAtOutputLow, 0.25}, {kAtOutputHigh, 0.75}}, 0x10, 1.0, 1.0},
        {"equal black and white, below", {{kAtBlack, 0.5}, {kAtWhite, 0.5}}, 0x3C, 0.25, 0.0},
        {"equal black and white, at", {{kAtBlack, 0.5}, {kAtWhite, 0.5}}, 0x3C, 0.5, 0.0},
        {"equal black and white, above", {{kAtBlack, 0.5}, {kAtWhite, 0.5}}, 0x3C, 0.75, 1.0},
    };
    for (const SLevelsCase& c : cases) {
        CTlLut lut = NewLut();
        LoadFields(lut, c.fields);
        EXPECT_NEAR(c.expected, EvaluateOne(lut, c.position, c.flags), 1e-12) << c.name;
    }
}

TEST(LutEvaluate, CurveBitChoosesThePoints)
{
    CTlLut lut = NewLut();
    LoadFields(lut, {{kAtPoints + 8, 0.5}, {kAtPoints + 24, 0.5}}); // flat at 0.5
    EXPECT_EQ(0.5, EvaluateOne(lut, 0.2, 0x10));
    EXPECT_EQ(0.2, EvaluateOne(lut, 0.2, 0x00)) << "identity without the curve bit";
    EXPECT_EQ(1.0, EvaluateOne(lut, 1.5, 0x00)) << "limited to 0..1";
}

TEST(LutEvaluate, SamplesGoBeforeTheCurveOrAfterEverything)
{
    const std::uint16_t invert[] = {65535, 0};
    CTlLut before = NewLut();
    before.SetClampedParam(0.5); // squares inside the span
    ASSERT_EQ(0, before.SetSamples(invert, 2, 2, 65536, 1));
    EXPECT_NEAR(0.75 * 0.75, EvaluateOne(before, 0.25, kPlain | 0x80), 1e-12);
    CTlLut after = NewLut();
    after.SetClampedParam(0.5);
    ASSERT_EQ(0, after.SetSamples(invert, 2, 2, 65536, 0));
    EXPECT_NEAR(1.0 - 0.25 * 0.25, EvaluateOne(after, 0.25, kPlain | 0x80), 1e-12);
    EXPECT_NEAR(0.25 * 0.25, EvaluateOne(after, 0.25, kPlain), 1e-12) << "without the bit";
}

TEST(LutEvaluate, SampleTableIsReadOnlyWithinItsEnds)
{
    const std::uint16_t ramp[] = {0, 32768, 65535};
    CTlLut lut = NewLut();
    ASSERT_EQ(0, lut.SetSamples(ramp, 2, 3, 65536, 1));
    const std::vector<double> table = EvaluateAt(lut, -1.0, 2.0, 4, 0x80);
    EXPECT_EQ(0.0, table[0]);
    EXPECT_NEAR(32768.0 / 65535.0, EvaluateOne(lut, 0.5, 0x80), 1e-12);
    EXPECT_EQ(1.0, table[3]);
}

TEST(LutEvaluate, PowerTakesTheRoot)
{
    CTlLut lut = NewLut();
    EXPECT_NEAR(0.5, EvaluateAt(lut, 0.25, 0.25, 1, kPlain, 2.0)[0], 1e-12);
    EXPECT_NEAR(0.25, EvaluateAt(lut, 0.25, 0.25, 1, kPlain, 0.0)[0], 1e-12) << "no power at 0";
}

TEST(LutEvaluate, SnapshotBitUsesTheSnapshotAndItsContrast)
{
    CTlLutGroup group;
    auto& master = *static_cast<CTlLut*>(group.GetAt(0));
    master.Snapshot();
    group.SetSnapshotContrast(1.0);
    master.SetClampedParam(2.0);
    EXPECT_NEAR(0.25, EvaluateOne(master, 0.25, 0x21), 1e-12) << "gamma came after the snapshot";
    EXPECT_NEAR(0.025, EvaluateOne(master, 0.25, 0x41), 1e-12) << "the snapshot contrast";
    EXPECT_NEAR(0.5, EvaluateOne(master, 0.25, 0x21 & ~0x01), 1e-12);
}

TEST(LutEvaluate, EntryWidths)
{
    CTlLut lut = NewLut();
    std::uint8_t bytes[3] = {};
    lut.Evaluate(bytes, 1, 3, 256, 0.0, 1.0, kPlain, 1.0);
    EXPECT_EQ(0, bytes[0]);
    EXPECT_EQ(128, bytes[1]) << "trunc(0.5 * 255 + 0.5)";
    EXPECT_EQ(255, bytes[2]);
    std::int32_t words[2] = {};
    lut.Evaluate(words, 4, 2, 1000, 0.0, 1.0, kPlain, 1.0);
    EXPECT_EQ(999, words[1]);
    unsigned char odd[9];
    std::memset(odd, 0x5A, sizeof odd);
    EXPECT_EQ(3, lut.Evaluate(odd, 3, 3, 256, 0.0, 1.0, kPlain, 1.0));
    for (const unsigned char b : odd)
        EXPECT_EQ(0x5A, b) << "other widths write nothing";
    std::uint8_t narrow[1] = {};
    lut.Evaluate(narrow, 1, 1, 65536, 1.0, 1.0, kPlain, 1.0);
    EXPECT_EQ(255, narrow[0]) << "levels too large for a byte are limited, not wrapped";
}

TEST(LutEvaluate, EqualBlackAndWhiteGiveNoNaN)
{
    CTlLut lut = NewLut();
    LoadFields(lut, {{kAtBlack, 0.5}, {kAtWhite, 0.5}});
    lut.AddPoint(0.9, 0.3);
    for (const double v : EvaluateAt(lut, 0.0, 1.0, 101, kEverything))
        EXPECT_FALSE(std::isnan(v));
}

// A curve through (0, 0), (0.5, 1), (1, 0): by symmetry the middle slope is
// 0, and a natural spline's ends have no curvature, so the end slopes are
// 1.5 times the secants: 3 and -3.
TEST(LutSpline, SymmetricHumpHasTheNaturalSlopes)
{
    CTlLut lut = NewLut();
    lut.AddPoint(0.5, 1.0);
    lut.AddPoint(1.0, 0.0);
    EvaluateOne(lut, 0.5, kPlain);
    const auto& p = lut.GetParams().points;
    ASSERT_EQ(3u, p.size());
    EXPECT_NEAR(3.0, p[0].slope, 1e-12);
    EXPECT_NEAR(0.0, p[1].slope, 1e-12);
    EXPECT_NEAR(-3.0, p[2].slope, 1e-12);
    EXPECT_FALSE(lut.GetParams().slopesStale);
    // S(x) = 3x - 4x^3 on the left half.
    EXPECT_NEAR(3 * 0.25 - 4 * 0.25 * 0.25 * 0.25, EvaluateOne(lut, 0.25, 0x10), 1e-12);
}

// Second derivative of the Hermite segment at its left and right ends.
double LeftCurvature(const TlLutPoint& a, const TlLutPoint& b)
{
    const double h = b.x - a.x;
    return (6 * (b.y - a.y) / h - 4 * a.slope - 2 * b.slope) / h;
}

double RightCurvature(const TlLutPoint& a, const TlLutPoint& b)
{
    const double h = b.x - a.x;
    return (-6 * (b.y - a.y) / h + 2 * a.slope + 4 * b.slope) / h;
}

TEST(LutSpline, PassesThroughItsKnotsWithContinuousCurvatureAndStraightEnds)
{
    CTlLut lut = NewLut();
    lut.AddPoint(0.2, 0.5);
    lut.AddPoint(0.45, 0.55);
    lut.AddPoint(0.7, 0.6);
    lut.AddPoint(0.8, 0.95);
    const std::vector<TlLutPoint> knots = lut.GetParams().points;
    for (const TlLutPoint& knot : knots)
        EXPECT_NEAR(knot.y, EvaluateOne(lut, knot.x, 0x10), 1e-12) << knot.x;
    const auto& p = lut.GetParams().points;
    EXPECT_NEAR(0.0, LeftCurvature(p[0], p[1]), 1e-9);
    EXPECT_NEAR(0.0, RightCurvature(p[4], p[5]), 1e-9);
    for (std::size_t k = 1; k + 1 < p.size(); ++k)
        EXPECT_NEAR(RightCurvature(p[k - 1], p[k]), LeftCurvature(p[k], p[k + 1]), 1e-9) << k;
}

TEST(LutSpline, SlopesAreSolvedAgainOnlyAfterAChange)
{
    CTlLut lut = NewLut();
    lut.AddPoint(0.5, 0.8);
    const double before = EvaluateOne(lut, 0.25, 0x10);
    lut.AddPoint(0.5, 0.2);
    EXPECT_TRUE(lut.GetParams().slopesStale);
    EXPECT_NE(before, EvaluateOne(lut, 0.25, 0x10));
    EXPECT_FALSE(lut.GetParams().slopesStale);
}

TEST(LutSpline, PointsOutOfOrderStayFiniteAndInRange)
{
    CTlLut lut = NewLut();
    Bytes bytes = NewLutBytes({});
    // Three points with the middle one before the first.
    bytes.resize(kAtPoints);
    const double points[] = {0.5, 0.5, 0.25, 0.9, 1.0, 1.0};
    const double brightness = 0.0;
    std::int32_t count = 3;
    std::memcpy(bytes.data() + kAtCount, &count, sizeof count);
    const auto* raw = reinterpret_cast<const unsigned char*>(points);
    bytes.insert(bytes.end(), raw, raw + sizeof points);
    raw = reinterpret_cast<const unsigned char*>(&brightness);
    bytes.insert(bytes.end(), raw, raw + sizeof brightness);
    ASSERT_EQ(int(bytes.size()), tlstate_test::LoadBytes(lut, bytes));
    for (const double v : EvaluateAt(lut, 0.0, 1.0, 257, kPlain))
        EXPECT_TRUE(v >= 0.0 && v <= 1.0);
}

TEST(LutSpline, TwoPointsAtOnePositionMakeAStep)
{
    CTlLut lut = NewLut();
    LoadFields(lut, {{kAtPoints, 0.5}, {kAtPoints + 8, 0.2}, {kAtPoints + 16, 0.5}, {kAtPoints + 24, 0.8}});
    EXPECT_EQ(0.2, EvaluateOne(lut, 0.25, kPlain));
    EXPECT_EQ(0.2, EvaluateOne(lut, 0.5, kPlain));
    EXPECT_EQ(0.8, EvaluateOne(lut, 0.75, kPlain));
    lut.AddPoint(0.5, 0.6); // now three points, two of them at 0.5
    for (const double v : EvaluateAt(lut, 0.0, 1.0, 65, kEverything))
        EXPECT_FALSE(std::isnan(v));
}

} // namespace
