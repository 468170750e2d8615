// The bump curves' own operations: construction, copies, what differs from
// the defaults, reset, comparison, and which list and offset a table takes.
#include "BumpCurveTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace tlstate_test;

namespace {

const Points kThree = {{0.1, 0.4, 0.3}, {0.6, -0.3, 0.2}, {0.9, 0.8, 0.15}};
const Points kCalibration = {{0.2, 0.5, 0.1}, {0.7, -0.25, 0.2}};

TEST(BumpCurveState, NewCurvesAreEmpty)
{
    CTlLutGroup* const owner = reinterpret_cast<CTlLutGroup*>(0x1000);
    const CTlPointCurve hue(owner, 3);
    EXPECT_EQ(owner, hue.GetOwner());
    EXPECT_EQ(3, hue.GetElementId());
    EXPECT_EQ(-1, hue.GetCurrentPoint());
    EXPECT_EQ(0, hue.GetCount());
    EXPECT_EQ(0.0, hue.GetOffset());
    EXPECT_EQ(1, hue.GetScale());
    EXPECT_TRUE(hue.IsChanged());
    EXPECT_TRUE(hue.IsPointCurve());
    EXPECT_FALSE(hue.IsLinearCurve());

    const CTlLinearCurve chroma(owner, 2);
    EXPECT_EQ(2, chroma.GetElementId());
    EXPECT_EQ(-1, chroma.GetCurrentPoint());
    EXPECT_EQ(0, chroma.GetCount());
    EXPECT_TRUE(chroma.GetSecondList().empty());
    EXPECT_EQ(1, chroma.GetMode());
    EXPECT_EQ(1, chroma.GetMultiplier());
    EXPECT_EQ(0.0, chroma.GetFirstOffset());
    EXPECT_EQ(0.0, chroma.GetSecondOffset());
    EXPECT_TRUE(chroma.IsLinearCurve());
    EXPECT_FALSE(chroma.IsPointCurve());
}

TEST(BumpCurveState, CopiesAreDeepAndWhole)
{
    CTlPointCurve hue = MakePointCurve(kThree, 0.25, 2);
    hue.SetCurrentPoint(1);
    const CTlPointCurve hueCopy(hue);
    EXPECT_TRUE(hueCopy.Compare(hue));
    EXPECT_EQ(1, hueCopy.GetCurrentPoint());
    EXPECT_EQ(hue.GetElementId(), hueCopy.GetElementId());
    EXPECT_NE(hue.GetPoints().data(), hueCopy.GetPoints().data());
    LoadBytes(hue, PointCurveBlock({}, 0, 1));
    EXPECT_TRUE(SamePoints(kThree, hueCopy.GetPoints())) << "the copy keeps its own points";

    CTlLinearCurve chroma = MakeLinearCurve(kThree, -0.25, kCalibration, 0.125);
    const CTlLinearCurve chromaCopy(chroma);
    EXPECT_TRUE(chromaCopy.Compare(chroma));
    EXPECT_TRUE(SamePoints(kCalibration, chromaCopy.GetSecondList()));
    EXPECT_EQ(0.125, chromaCopy.GetSecondOffset());
    EXPECT_EQ(-0.25, chromaCopy.GetFirstOffset());
    LoadBytes(chroma, LinearCurveBlock({}, 0));
    chroma.Reset(false, true);
    EXPECT_TRUE(SamePoints(kThree, chromaCopy.GetFirstList()));
    EXPECT_TRUE(SamePoints(kCalibration, chromaCopy.GetSecondList()));
}

struct FlagsCase {
    const char* name;
    Points points;
    double offset;
    int mask;
    int expected;
};

TEST(BumpCurveState, ModifiedFlagsReportPointsAndOffset)
{
    const FlagsCase cases[] = {
        {"empty", {}, 0, -1, 0},
        {"points", kThree, 0, -1, 3},
        {"offset", {}, 0.5, -1, 0x80},
        {"both", kThree, -0.5, -1, 0x83},
        {"masked to bit 0", kThree, -0.5, 1, 1},
        {"masked to the offset", kThree, -0.5, 0x80, 0x80},
        {"masked away", kThree, 0, 0x80, 0},
    };
    for (const FlagsCase& c : cases) {
        EXPECT_EQ(c.expected, MakePointCurve(c.points, c.offset).GetModifiedFlags(c.mask)) << c.name;
        EXPECT_EQ(c.expected, MakeLinearCurve(c.points, c.offset).GetModifiedFlags(c.mask)) << c.name;
    }
    EXPECT_EQ(0, MakeLinearCurve({}, 0, kCalibration, 0.5).GetModifiedFlags(-1))
        << "the calibration curve is not an edit";
}

TEST(BumpCurveState, ResetEmptiesTheHueCurveButKeepsItsScale)
{
    CTlPointCurve hue = MakePointCurve(kThree, 0.5, 3);
    ASSERT_EQ(0, hue.GetCurrentPoint());
    EXPECT_EQ(1, hue.Reset(false, false));
    EXPECT_EQ(0, hue.GetCount());
    EXPECT_EQ(0.0, hue.GetOffset());
    EXPECT_EQ(3, hue.GetScale());
    EXPECT_EQ(-1, hue.GetCurrentPoint());
    EXPECT_TRUE(hue.IsChanged());
    EXPECT_EQ(0, hue.GetModifiedFlags(-1));
}

TEST(BumpCurveState, ResetOfTheChromaCurveTakesTheCalibrationOnlyWhenAsked)
{
    CTlLinearCurve chroma = MakeLinearCurve(kThree, 0.5, kCalibration, 0.25);
    EXPECT_EQ(1, chroma.Reset(true, false));
    EXPECT_EQ(0, chroma.GetCount());
    EXPECT_EQ(0.0, chroma.GetFirstOffset());
    EXPECT_TRUE(SamePoints(kCalibration, chroma.GetSecondList()));
    EXPECT_EQ(0.25, chroma.GetSecondOffset());
    EXPECT_EQ(-1, chroma.GetCurrentPoint());

    EXPECT_EQ(1, chroma.Reset(false, true));
    EXPECT_TRUE(chroma.GetSecondList().empty());
    EXPECT_EQ(0.0, chroma.GetSecondOffset());
}

struct CompareCase {
    const char* name;
    Points points;
    double offset;
    std::int32_t scale;
    bool equal;
};

TEST(BumpCurveState, HueCurvesCompareOffsetScaleAndEveryPoint)
{
    const CompareCase cases[] = {
        {"same", kThree, 0.25, 2, true},
        {"offset", kThree, 0.5, 2, false},
        {"scale", kThree, 0.25, 3, false},
        {"fewer points", {kThree[0], kThree[1]}, 0.25, 2, false},
        {"an x", {kThree[0], {0.61, -0.3, 0.2}, kThree[2]}, 0.25, 2, false},
        {"a y", {kThree[0], {0.6, -0.31, 0.2}, kThree[2]}, 0.25, 2, false},
        {"a z", {kThree[0], kThree[1], {0.9, 0.8, 0.16}}, 0.25, 2, false},
    };
    const CTlPointCurve reference = MakePointCurve(kThree, 0.25, 2);
    for (const CompareCase& c : cases) {
        const CTlPointCurve other = MakePointCurve(c.points, c.offset, c.scale);
        EXPECT_EQ(c.equal, reference.Compare(other)) << c.name;
        EXPECT_EQ(c.equal, other.Compare(reference)) << c.name;
    }
}

TEST(BumpCurveState, ChromaCurvesCompareOnlyTheEditedCurve)
{
    const CTlLinearCurve reference = MakeLinearCurve(kThree, 0.25, kCalibration, 0.5);
    EXPECT_TRUE(reference.Compare(MakeLinearCurve(kThree, 0.25)));
    EXPECT_TRUE(reference.Compare(MakeLinearCurve(kThree, 0.25, {}, -0.5)));
    EXPECT_FALSE(reference.Compare(MakeLinearCurve(kThree, 0.3, kCalibration, 0.5)));
    EXPECT_FALSE(reference.Compare(MakeLinearCurve({kThree[0]}, 0.25, kCalibration, 0.5)));
    EXPECT_FALSE(reference.Compare(MakeLinearCurve({kThree[0], kThree[1], {0.9, 0.8, 0.1}}, 0.25)));
}

// A table taken at 16 bits, centred, as the filters take theirs.
std::vector<std::uint16_t> Table(const CTlLinearCurve& curve, int which)
{
    std::vector<std::uint16_t> table(64);
    curve.GetTable(which, table.data(), 2, 64, 65536, 60);
    return table;
}

std::vector<std::uint16_t> Sampled(const CTlLinearCurve& curve, const Points& points, double offset)
{
    std::vector<std::uint16_t> table(64);
    curve.SampleList(table.data(), 2, 64, 65536, 0.0, 1.0, 61, points.data(), int(points.size()), offset);
    return table;
}

TEST(BumpCurveState, GetTablePicksTheListByModeAndTheOffsetByWhich)
{
    const CTlLinearCurve curve = MakeLinearCurve(kThree, 0.25, kCalibration, -0.125);
    EXPECT_EQ(Sampled(curve, kThree, 0.25), Table(curve, 1)) << "the edited curve";
    EXPECT_EQ(Sampled(curve, kCalibration, -0.125), Table(curve, 0)) << "the calibration curve";
    EXPECT_EQ(Sampled(curve, kCalibration, 0.25), Table(curve, 2))
        << "another value: the second list with the first offset";
    EXPECT_NE(Table(curve, 1), Table(curve, 0));
}

TEST(BumpCurveState, EmptyCalibrationGivesAFlatTableAtTheSecondOffset)
{
    const std::vector<std::uint16_t> middle(64, 32768);
    EXPECT_EQ(middle, Table(MakeLinearCurve(kThree, 0.25), 0));
    const std::vector<std::uint16_t> raised(64, 49152);
    EXPECT_EQ(raised, Table(MakeLinearCurve(kThree, 0.25, {}, 0.5), 0));
}

TEST(BumpCurveState, CopyCalibrationFromTakesTheSourcesCalibrationCurve)
{
    const CTlLinearCurve source = MakeLinearCurve(kThree, 0.25, kCalibration, -0.125);
    CTlLinearCurve target = MakeLinearCurve({kThree[0]}, 0.5, {kThree[2]}, 0.75);
    target.CopyCalibrationFrom(source);
    EXPECT_TRUE(SamePoints(kCalibration, target.GetSecondList()));
    EXPECT_EQ(-0.125, target.GetSecondOffset());
    EXPECT_TRUE(SamePoints({kThree[0]}, target.GetFirstList())) << "the edited curve stays";
    EXPECT_EQ(0.5, target.GetFirstOffset());
    EXPECT_EQ(Table(source, 0), Table(target, 0));

    target.CopyCalibrationFrom(target);
    EXPECT_TRUE(SamePoints(kCalibration, target.GetSecondList())) << "from itself: unchanged";
}

} // namespace
