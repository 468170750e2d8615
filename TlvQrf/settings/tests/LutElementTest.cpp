// The tone-curve element: defaults, what counts as modified, reset, points,
// comparison, gamma setters, copies, snapshots and the display tables.
#include "LutTestSupport.h"
#include "settings/curves/TlLutGroup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lut_test;

namespace {

const TlLutColour kRed = {255, 0, 0};
const TlLutColour kBlack = {0, 0, 0};

CTlLut NewRedChannel()
{
    return CTlLut(nullptr, 1, kRed, kBlack, kRed);
}

void ExpectIdentityPair(const CTlLut& lut)
{
    ASSERT_EQ(2, lut.GetCount());
    double x = -1, y = -1;
    lut.GetPoint(0, x, y);
    EXPECT_EQ(0.0, x);
    EXPECT_EQ(0.0, y);
    lut.GetPoint(1, x, y);
    EXPECT_EQ(1.0, x);
    EXPECT_EQ(1.0, y);
}

TEST(LutElement, NewElementHoldsTheIdentityPairAndDefaultLevels)
{
    CTlLut lut = NewRedChannel();
    ExpectIdentityPair(lut);
    const TlLutParams& p = lut.GetParams();
    EXPECT_EQ(0.0, p.black);
    EXPECT_EQ(1.0, p.gamma);
    EXPECT_EQ(1.0, p.white);
    EXPECT_EQ(0.0, p.outputLow);
    EXPECT_EQ(1.0, p.outputHigh);
    EXPECT_EQ(0.0, p.brightness);
    EXPECT_EQ(0, lut.GetModifiedFlags(~0));
    EXPECT_EQ(0, lut.GetCurrentPoint());
    EXPECT_EQ(1, lut.GetElementId());
    EXPECT_EQ(255, lut.GetColours()[0].red);
    EXPECT_EQ(255, lut.GetColours()[2].red);
    EXPECT_EQ(2u, lut.GetSnapshotParams().points.size()) << "the constructor takes a snapshot";
    EXPECT_FALSE(lut.IsPointCurve());
    EXPECT_FALSE(lut.IsLinearCurve());
}

struct SModifiedCase {
    const char* name;
    std::initializer_list<SField> fields;
    int flags;
};

TEST(LutElement, ModifiedFlagsNameEachLevelThatDiffers)
{
    const SModifiedCase cases[] = {
        {"black", {{kAtBlack, 0.1}}, 0x10},
        {"white", {{kAtWhite, 0.9}}, 0x40},
        {"gamma", {{kAtGamma, 1.5}}, 0x20},
        {"output low", {{kAtOutputLow, 0.1}}, 0x400},
        {"output high", {{kAtOutputHigh, 0.9}}, 0x800},
        {"first point moved", {{kAtPoints + 8, 0.2}}, 0x03},
        {"last point moved", {{kAtPoints + 16, 0.9}}, 0x03},
        {"black and output high", {{kAtBlack, 0.1}, {kAtOutputHigh, 0.5}}, 0x810},
    };
    for (const SModifiedCase& c : cases) {
        CTlLut lut = NewRedChannel();
        LoadFields(lut, c.fields);
        EXPECT_EQ(c.flags, lut.GetModifiedFlags(~0)) << c.name;
        EXPECT_EQ(c.flags & 0x30, lut.GetModifiedFlags(0x30)) << c.name << ": the mask applies";
    }
}

TEST(LutElement, MoreThanTwoPointsAndBrightnessCountAsModified)
{
    CTlLut lut = NewRedChannel();
    lut.AddPoint(0.5, 0.5);
    EXPECT_EQ(0x03, lut.GetModifiedFlags(~0)) << "a third point, even on the diagonal";
    CTlLut bright = NewRedChannel();
    bright.SetBrightness(-0.25);
    EXPECT_EQ(0x01, bright.GetModifiedFlags(~0));
}

TEST(LutElement, ChannelsReportTheMastersBrightnessAndTheContrast)
{
    CTlLutGroup group;
    CTlLut* channel = group.AddLut(1, kRed, kBlack, kRed);
    ASSERT_NE(nullptr, channel);
    auto* master = static_cast<CTlLut*>(group.GetAt(0));
    EXPECT_EQ(0, channel->GetModifiedFlags(~0));
    master->SetBrightness(0.5);
    EXPECT_EQ(0x01, channel->GetModifiedFlags(~0));
    master->SetBrightness(0.0);
    group.SetContrast(-1.0);
    EXPECT_EQ(0x01, channel->GetModifiedFlags(~0));
    EXPECT_EQ(0x01, master->GetModifiedFlags(~0));
}

TEST(LutElement, ResetKeepsTwoPointsWhateverTheSecondArgument)
{
    for (const bool second : {false, true}) {
        CTlLut lut = NewRedChannel();
        LoadFields(lut, {{kAtBlack, 0.2}, {kAtGamma, 3.0}, {kAtOutputLow, 0.1}});
        lut.AddPoint(0.5, 0.9);
        lut.SetBrightness(0.5);
        lut.SetCurrentPoint(2);
        lut.Reset(false, second);
        ExpectIdentityPair(lut);
        EXPECT_EQ(0.0, lut.GetParams().black);
        EXPECT_EQ(1.0, lut.GetParams().gamma);
        EXPECT_EQ(0.0, lut.GetParams().outputLow);
        EXPECT_EQ(0.5, lut.GetBrightness()) << "brightness stays unless the first argument is set";
        EXPECT_EQ(0, lut.GetCurrentPoint());
        lut.Reset(true, second);
        EXPECT_EQ(0.0, lut.GetBrightness());
        EXPECT_EQ(0, lut.GetModifiedFlags(~0));
    }
}

TEST(LutElement, AddPointInsertsInOrderAndReplacesAtAnExistingPosition)
{
    CTlLut lut = NewRedChannel();
    EXPECT_EQ(1, lut.AddPoint(0.5, 0.6));
    EXPECT_EQ(1, lut.AddPoint(0.25, 0.3));
    EXPECT_EQ(3, lut.AddPoint(0.75, 0.8));
    EXPECT_EQ(5, lut.GetCount());
    EXPECT_EQ(2, lut.AddPoint(0.5, 0.1)) << "same x: replaced";
    EXPECT_EQ(5, lut.GetCount());
    double x = 0, y = 0;
    lut.GetPoint(2, x, y);
    EXPECT_EQ(0.5, x);
    EXPECT_EQ(0.1, y);
    EXPECT_EQ(0, lut.AddPoint(0.0, 0.2)) << "the first point replaced";
    EXPECT_TRUE(lut.GetParams().slopesStale);
    EXPECT_TRUE(lut.IsChanged());
}

TEST(LutElement, AddPointTakesItsPositionThroughTheInputLevelsAndKeepsInsideTheSquare)
{
    CTlLut lut = NewRedChannel();
    LoadFields(lut, {{kAtBlack, 0.25}, {kAtWhite, 0.75}});
    EXPECT_EQ(1, lut.AddPoint(0.5, 0.5));
    double x = 0, y = 0;
    lut.GetPoint(1, x, y);
    EXPECT_EQ(0.5, x);
    EXPECT_EQ(1, lut.AddPoint(0.375, 0.5));
    lut.GetPoint(1, x, y);
    EXPECT_EQ(0.25, x);
    EXPECT_EQ(lut.GetCount() - 1, lut.AddPoint(0.9, 1.5)) << "beyond white: the last point";
    lut.GetPoint(lut.GetCount() - 1, x, y);
    EXPECT_EQ(1.0, x);
    EXPECT_EQ(1.0, y);
}

TEST(LutElement, AddPointWithEqualBlackAndWhiteStaysANumber)
{
    CTlLut lut = NewRedChannel();
    LoadFields(lut, {{kAtBlack, 0.5}, {kAtWhite, 0.5}});
    lut.AddPoint(0.75, 0.3);
    for (int i = 0; i < lut.GetCount(); ++i) {
        double x = -1, y = -1;
        lut.GetPoint(i, x, y);
        EXPECT_FALSE(std::isnan(x));
    }
}

TEST(LutElement, MaximumPointsOfTwoOrMoreLimitTheCount)
{
    CTlLut lut = NewRedChannel();
    lut.SetMaxPoints(3);
    EXPECT_EQ(1, lut.AddPoint(0.5, 0.5));
    EXPECT_EQ(0, lut.AddPoint(0.7, 0.5)) << "refused at the maximum";
    EXPECT_EQ(3, lut.GetCount());
    lut.SetMaxPoints(1);
    EXPECT_EQ(2, lut.AddPoint(0.7, 0.5)) << "below 2 there is no limit";
    EXPECT_EQ(4, lut.GetCount());
}

TEST(LutElement, GetPointOutsideTheListLeavesTheOutputs)
{
    CTlLut lut = NewRedChannel();
    for (const int index : {-1, 2, 100}) {
        double x = 7, y = 8;
        lut.GetPoint(index, x, y);
        EXPECT_EQ(7, x) << index;
        EXPECT_EQ(8, y) << index;
    }
}

TEST(LutElement, CompareLooksAtLevelsPointsAndBrightnessOnly)
{
    const SModifiedCase differences[] = {
        {"black", {{kAtBlack, 0.1}}, 0},           {"white", {{kAtWhite, 0.9}}, 0},
        {"gamma", {{kAtGamma, 1.5}}, 0},           {"output low", {{kAtOutputLow, 0.1}}, 0},
        {"output high", {{kAtOutputHigh, 0.9}}, 0}, {"point y", {{kAtPoints + 24, 0.5}}, 0},
    };
    for (const SModifiedCase& c : differences) {
        CTlLut a = NewRedChannel();
        CTlLut b = NewRedChannel();
        LoadFields(b, c.fields);
        EXPECT_FALSE(a.Compare(b)) << c.name;
    }
    CTlLut a = NewRedChannel();
    CTlLut b(nullptr, 3, kBlack, kBlack, kBlack);
    b.SetMaxPoints(5);
    EXPECT_TRUE(a.Compare(b)) << "colours, id and limits take no part";
    b.SetBrightness(1.0);
    EXPECT_FALSE(a.Compare(b));
    CTlLut c = NewRedChannel();
    c.AddPoint(0.5, 0.5);
    EXPECT_FALSE(a.Compare(c)) << "counts differ";
}

struct SGammaCase {
    double position;
    double gamma;
    bool limited;
};

TEST(LutElement, MidtonePositionSetsTheGammaWithinItsLimits)
{
    const SGammaCase cases[] = {
        {0.25, 2.0, false},   {0.5, 1.0, false}, {0.001, 9.9658, false}, {0.0, 1.0, false},
        {1.0, 0.05, true},    {1e-9, 20.0, true}, {-0.5, 1.0, false},
        {std::numeric_limits<double>::quiet_NaN(), 1.0, false},
    };
    for (const SGammaCase& c : cases) {
        CTlLut lut = NewRedChannel();
        EXPECT_EQ(c.limited, lut.SetMidtonePosition(c.position)) << c.position;
        EXPECT_NEAR(c.gamma, lut.GetParams().gamma, 1e-4) << c.position;
        EXPECT_TRUE(lut.IsChanged());
    }
}

TEST(LutElement, ClampedParamReportsWhenItHadToLimit)
{
    const SGammaCase cases[] = {
        {2.5, 2.5, false}, {25.0, 20.0, true}, {0.01, 0.05, true}, {std::numeric_limits<double>::quiet_NaN(), 1.0, true},
    };
    for (const SGammaCase& c : cases) {
        CTlLut lut = NewRedChannel();
        EXPECT_EQ(c.limited, lut.SetClampedParam(c.position)) << c.position;
        EXPECT_EQ(c.gamma, lut.GetParams().gamma) << c.position;
    }
}

TEST(LutElement, CopyIsDeepAndStartsAtTheFirstPoint)
{
    CTlLut lut = NewRedChannel();
    lut.AddPoint(0.5, 0.7);
    lut.SetCurrentPoint(2);
    const std::uint32_t bins[] = {1, 2, 3};
    lut.SetHistogram(bins, 3);
    const std::uint16_t invert[] = {65535, 0};
    ASSERT_EQ(0, lut.SetSamples(invert, 2, 2, 65536, 0));
    lut.SetMaxPoints(3);
    lut.Snapshot();

    CTlLut copy(lut);
    EXPECT_TRUE(copy.Compare(lut));
    EXPECT_EQ(0, copy.GetCurrentPoint());
    EXPECT_EQ(lut.GetHistogram(), copy.GetHistogram());
    EXPECT_EQ(3u, copy.GetSnapshotParams().points.size());
    EXPECT_EQ(255, copy.GetColours()[0].red);
    EXPECT_EQ(0, copy.AddPoint(0.3, 0.3)) << "the maximum is copied";
    EXPECT_NEAR(1.0 - 0.25, EvaluateOne(copy, 0.25, 0x80), 1e-9) << "the sample table is copied";

    lut.AddPoint(0.5, 0.1);
    double x = 0, y = 0;
    copy.GetPoint(1, x, y);
    EXPECT_EQ(0.7, y) << "the copy has its own points";
}

TEST(LutElement, SnapshotKeepsTheParametersOfItsMoment)
{
    CTlLut lut = NewRedChannel();
    lut.SetClampedParam(2.0);
    lut.AddPoint(0.5, 0.8);
    lut.Snapshot();
    lut.SetClampedParam(3.0);
    lut.AddPoint(0.25, 0.1);
    const TlLutParams& snapshot = lut.GetSnapshotParams();
    EXPECT_EQ(2.0, snapshot.gamma);
    ASSERT_EQ(3u, snapshot.points.size());
    EXPECT_EQ(0.8, snapshot.points[1].y);
}

TEST(LutElement, HistogramIsCopiedAndReplaced)
{
    CTlLut lut = NewRedChannel();
    std::vector<std::uint32_t> bins(256);
    for (std::size_t i = 0; i < bins.size(); ++i)
        bins[i] = static_cast<std::uint32_t>(i * 3);
    lut.SetHistogram(bins.data(), 256);
    EXPECT_EQ(bins, lut.GetHistogram());
    const std::uint32_t few[] = {9, 8};
    lut.SetHistogram(few, 2);
    EXPECT_EQ(std::vector<std::uint32_t>({9, 8}), lut.GetHistogram());
    lut.SetHistogram(few, 0);
    EXPECT_TRUE(lut.GetHistogram().empty());
}

struct SSamplesCase {
    const char* name;
    int type;
    int count;
    int levels;
    bool table; // whether the element keeps a table
};

TEST(LutElement, SamplesAreKeptOnlyForKnownTypesAndEnoughEntries)
{
    const std::uint16_t words[] = {65535, 0};
    const SSamplesCase cases[] = {
        {"16-bit", 2, 2, 65536, true},   {"one entry", 2, 1, 65536, false}, {"unknown type", 3, 2, 65536, false},
        {"one level", 2, 2, 1, false},
    };
    for (const SSamplesCase& c : cases) {
        CTlLut lut = NewRedChannel();
        EXPECT_EQ(0, lut.SetSamples(words, c.type, c.count, c.levels, 0)) << c.name;
        const double expected = c.table ? 0.75 : 0.25;
        EXPECT_NEAR(expected, EvaluateOne(lut, 0.25, 0x80), 1e-9) << c.name;
    }
    CTlLut lut = NewRedChannel();
    EXPECT_EQ(0, lut.SetSamples(nullptr, 2, 2, 65536, 0));
    const unsigned char bytes[] = {255, 0};
    EXPECT_EQ(0, lut.SetSamples(bytes, 1, 2, 256, 0));
    EXPECT_NEAR(0.75, EvaluateOne(lut, 0.25, 0x80), 1e-9) << "8-bit samples";
}

} // namespace
