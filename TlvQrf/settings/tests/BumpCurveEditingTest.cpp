// Editing the bump curves as a curve editor drives them: hover tests,
// clicks, drags past neighbours, insertion on the ring, deletion, key
// nudges, the handles, the zoom toggle and the notifications, with plots
// of 200 x 200 pixels (CurveEditingTestSupport.h).
#include "BumpCurveTestSupport.h"
#include "CurveEditingTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tlstate_test;
using curve_edit_test::BumpAt;
using curve_edit_test::CRecordingView;
using Calls = std::vector<std::string>;

namespace {

const Points kThree = {{0.25, 0.5, 0.1}, {0.5, -0.25, 0.2}, {0.75, 0.0, 0.3}};

std::vector<double> XsOf(const Points& points)
{
    std::vector<double> xs;
    for (const TlBumpPoint& p : points)
        xs.push_back(p.x);
    return xs;
}

void ExpectXs(const std::vector<double>& expected, const Points& points)
{
    ASSERT_EQ(expected.size(), points.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_DOUBLE_EQ(expected[i], points[i].x) << "point " << i;
}

void ExpectPoint(const TlBumpPoint& expected, const TlBumpPoint& actual)
{
    EXPECT_DOUBLE_EQ(expected.x, actual.x);
    EXPECT_DOUBLE_EQ(expected.y, actual.y);
    EXPECT_DOUBLE_EQ(expected.z, actual.z);
}

// One toggle click: pressed on the button, released where `release` is.
int Toggle(CTlCurveBase& curve, CRecordingView& view, POINT release = {230, 230})
{
    curve.MouseDown(view, {230, 230});
    curve.Track(view, release);
    return curve.MouseUp(view);
}

struct HoverCase {
    const char* name;
    POINT mouse;
    int current;
    int code;
    int hitIndex; // -2: not looked at
};

TEST(BumpCurveEditing, HoverFindsPointsHandlesAndTheToggle)
{
    const HoverCase cases[] = {
        {"outside everything", {300, 300}, 1, kTlHitNone, -2},
        {"plot, between two points: the first of equals", BumpAt(0.375, 0), 1, kTlHitPlot, 0},
        {"near the current point", BumpAt(0.51, 0.9), 1, kTlHitCurrentPoint, 1},
        {"near another point", BumpAt(0.24, 0), 1, kTlHitPoint, 0},
        {"just beyond the pick radius", BumpAt(0.275, 0), 1, kTlHitPlot, 0},
        {"offset handle on its line", {210, 99}, 1, kTlHitOffset, -2},
        {"offset handle at its tolerance", {210, 101}, 1, kTlHitOffset, -2},
        {"offset strip away from the line", {210, 102}, 1, kTlHitNone, -2},
        {"width handle at the current half-width", {40, 210}, 1, kTlHitWidth, -2},
        {"width handle at its tolerance", {43, 210}, 1, kTlHitWidth, -2},
        {"width strip beyond the tolerance", {44, 210}, 1, kTlHitNone, -2},
        {"width strip without a current point", {40, 210}, -1, kTlHitNone, -2},
        {"toggle button", {230, 230}, -1, kTlHitToggle, -2},
    };
    for (const HoverCase& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingView view;
        CTlPointCurve curve = MakePointCurve(kThree, 0, 3);
        curve.SetCurrentPoint(c.current);
        EXPECT_EQ(c.code, curve.Track(view, c.mouse));
        if (c.hitIndex != -2) {
            EXPECT_EQ(c.hitIndex, curve.GetEditorState().hitIndex);
        }
        EXPECT_TRUE(view.calls.empty()) << "hovering tells the view nothing";
    }
}

TEST(BumpCurveEditing, HoverOnAnEmptyPlotFindsNoPoint)
{
    CRecordingView view;
    CTlLinearCurve curve(nullptr, 2);
    EXPECT_EQ(kTlHitPlot, curve.Track(view, BumpAt(0.5, 0.5)));
    EXPECT_EQ(-1, curve.GetEditorState().hitIndex);
}

struct ReadoutCase {
    const char* name;
    CTlPointCurve hue;
    POINT mouse;
    TlBumpPoint readout;
};

TEST(BumpCurveEditing, ReadoutShowsThePointOnlyWhenTheMouseIsOnIt)
{
    ReadoutCase cases[] = {
        {"on the point", MakePointCurve(kThree, 0, 3), BumpAt(0.25, 0.52), kThree[0]},
        {"above the point", MakePointCurve(kThree, 0, 3), BumpAt(0.25, 0.6), {0.25, 0.6, 0}},
        // At scale 1 the point of height 1/6 is drawn at half the plot height.
        {"on the point, zoomed out", MakePointCurve({{0.25, 1.0 / 6, 0.1}}, 0, 1), BumpAt(0.25, 0.5),
         {0.25, 1.0 / 6, 0.1}},
        {"away from any point", MakePointCurve(kThree, 0, 3), BumpAt(0.375, 0.5), {0.375, 0.5, 0}},
    };
    for (ReadoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingView view;
        c.hue.Track(view, c.mouse);
        ExpectPoint(c.readout, c.hue.GetEditorState().readout);
    }

    // The chroma curve's points are drawn around its offset.
    CRecordingView view;
    CTlLinearCurve chroma = MakeLinearCurve({{0.25, 0.25, 0.1}}, 0.25);
    chroma.Track(view, BumpAt(0.25, 0.5));
    ExpectPoint({0.25, 0.25, 0.1}, chroma.GetEditorState().readout);
}

TEST(BumpCurveEditing, OffsetHandleSitsWhereTheZoomDrawsTheOffset)
{
    CRecordingView view;
    // Scale 1 draws offset 0.2 at 0.6 of the half-height: 100 - 60 - 1.
    CTlPointCurve hue = MakePointCurve(kThree, 0.2, 1);
    EXPECT_EQ(kTlHitOffset, hue.Track(view, {210, 39}));
    EXPECT_EQ(kTlHitNone, hue.Track(view, {210, 99}));

    // Multiplier 2 draws offset 0.2 at 2 * 20 pixels.
    CTlLinearCurve chroma = MakeLinearCurve(kThree, 0.2);
    Toggle(chroma, view);
    ASSERT_EQ(2, chroma.GetMultiplier());
    EXPECT_EQ(kTlHitOffset, chroma.Track(view, {210, 59}));
    EXPECT_EQ(kTlHitNone, chroma.Track(view, {210, 79}));
}

struct ClickCase {
    const char* name;
    bool hue;
    double offset;
    int scale;
    double height;
    TlBumpPoint created;
};

TEST(BumpCurveEditing, ClickInAnEmptyPlotCreatesAPointAndMovesIt)
{
    const ClickCase cases[] = {
        {"hue, full scale", true, 0, 3, 0.6, {0.3, 0.6, 0.3}},
        {"hue, full scale, bottom edge", true, 0, 3, -1.0, {0.3, -1.0, 0.5}},
        // Scale 1 gives a third of the height; the width follows the plot.
        {"hue, scale 1", true, 0, 1, 0.6, {0.3, 0.2, 0.3}},
        {"chroma, around its offset", false, 0.1, 1, 0.6, {0.3, 0.5, 0.25}},
        {"chroma, width limited", false, -0.5, 1, 0.9, {0.3, 1.4, 0.5}},
    };
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingView view;
        CTlPointCurve hue = MakePointCurve({}, c.offset, c.scale);
        CTlLinearCurve chroma = MakeLinearCurve({}, c.offset);
        CTlCurveBase& curve = c.hue ? static_cast<CTlCurveBase&>(hue) : chroma;
        const Points& points = c.hue ? hue.GetPoints() : chroma.GetFirstList();

        EXPECT_EQ(kTlHitCurrentPoint, curve.MouseDown(view, BumpAt(0.3, c.height)));
        ASSERT_EQ(1u, points.size());
        ExpectPoint(c.created, points[0]);
        EXPECT_EQ(0, curve.GetCurrentPoint());
        EXPECT_EQ((Calls{"begin 4", "changed 4"}), view.calls);

        // The half-width follows the height while the new point is dragged...
        // (the hue curve's from the plot height, the chroma curve's from its value).
        curve.Track(view, BumpAt(0.3, 0.2));
        EXPECT_DOUBLE_EQ(c.hue ? 0.1 : std::fabs(0.2 - c.offset) / 2, points[0].z);
        curve.MouseUp(view);
        // ...but not once the point is taken up again.
        const double width = points[0].z;
        curve.MouseDown(view, BumpAt(0.3, 0.2));
        curve.Track(view, BumpAt(0.3, 0.8));
        curve.MouseUp(view);
        EXPECT_EQ(width, points[0].z);
    }
}

struct DragCase {
    const char* name;
    int from;
    double to;
    std::vector<double> xs;
    int current;
};

TEST(BumpCurveEditing, DraggedPointPassesNeighboursOnlyWithRoomToSettle)
{
    // 0.5 and 0.515 sit closer than the minimum gap.
    const Points start = {{0.2, 0.1, 0.1}, {0.5, 0.2, 0.1}, {0.515, 0.3, 0.1}, {0.8, 0.4, 0.1}};
    const DragCase cases[] = {
        {"into the tight pair: stops short of it", 3, 0.505, {0.2, 0.5, 0.515, 0.525}, 3},
        {"not 0.01 beyond the pair: stops short", 3, 0.49, {0.2, 0.5, 0.515, 0.525}, 3},
        {"beyond the pair: passes both", 3, 0.45, {0.2, 0.45, 0.5, 0.515}, 1},
        {"beyond everything", 3, 0.1, {0.1, 0.2, 0.5, 0.515}, 0},
        {"rightwards beyond the pair", 0, 0.6, {0.5, 0.515, 0.6, 0.8}, 2},
        {"rightwards into the pair: stops short", 0, 0.51, {0.49, 0.5, 0.515, 0.8}, 0},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingView view;
        CTlLinearCurve curve = MakeLinearCurve(start, 0);
        const TlBumpPoint& grabbed = start[static_cast<std::size_t>(c.from)];
        ASSERT_EQ(kTlHitCurrentPoint, curve.MouseDown(view, BumpAt(grabbed.x, grabbed.y)));
        EXPECT_EQ(kTlHitCurrentPoint, curve.Track(view, BumpAt(c.to, grabbed.y)));
        ExpectXs(c.xs, curve.GetFirstList());
        EXPECT_EQ(c.current, curve.GetCurrentPoint());
        EXPECT_DOUBLE_EQ(grabbed.y, curve.GetFirstList()[static_cast<std::size_t>(c.current)].y);
        ExpectPoint(curve.GetFirstList()[static_cast<std::size_t>(c.current)], curve.GetEditorState().readout);
    }
}

TEST(BumpCurveEditing, PointPulledOutOfThePlotIsDeletedAndTrackingEnds)
{
    CRecordingView view;
    CTlPointCurve curve = MakePointCurve({{0.25, 0.5, 0.1}, {0.75, 0.25, 0.1}}, 0, 3);
    ASSERT_EQ(kTlHitCurrentPoint, curve.MouseDown(view, BumpAt(0.75, 0.25)));
    EXPECT_EQ(kTlHitCurrentPoint, curve.Track(view, {150, 219})) << "20 pixels out: still dragged";
    EXPECT_EQ(2, curve.GetCount());
    EXPECT_EQ(kTlHitNone, curve.Track(view, {150, 220}));
    EXPECT_EQ(1, curve.GetCount());
    EXPECT_EQ(0, curve.GetCurrentPoint());
    EXPECT_EQ((Calls{"begin 4", "changed 4", "changed 4", "end 4"}), view.calls);
    EXPECT_EQ(kTlHitNone, curve.MouseUp(view)) << "tracking has already ended";
    EXPECT_EQ(4u, view.calls.size());
}

struct InsertCase {
    const char* name;
    Points points;
    int current;
    int code;
    Points after;
    int newCurrent;
};

TEST(BumpCurveEditing, InsertedPointGoesHalfwayToItsPredecessorOnTheRing)
{
    Points packed;
    for (int i = 0; i < 60; ++i)
        packed.push_back({i / 60.0, 0, 0.1});
    const InsertCase cases[] = {
        {"empty curve", {}, -1, kTlHitCurrentPoint, {{0.5, 0, 0.5}}, 0},
        {"one point: across the seam", {{0.3, 0.4, 0.2}}, 0, kTlHitCurrentPoint,
         {{0.3, 0.4, 0.2}, {0.8, 0.4, 0.2}}, 1},
        {"between two points", {{0.2, 0.2, 0.1}, {0.6, 0.6, 0.3}}, 1, kTlHitCurrentPoint,
         {{0.2, 0.2, 0.1}, {0.4, 0.4, 0.2}, {0.6, 0.6, 0.3}}, 1},
        {"tight pair: goes back around the ring", {{0.2, 0.2, 0.1}, {0.21, 0.4, 0.3}}, 1, kTlHitCurrentPoint,
         {{0.2, 0.2, 0.1}, {0.21, 0.4, 0.3}, {0.705, 0.3, 0.2}}, 2},
        {"no gap anywhere", packed, 5, kTlHitNone, packed, 5},
        {"no current point", {{0.2, 0.2, 0.1}}, -1, kTlHitNone, {{0.2, 0.2, 0.1}}, -1},
    };
    for (const InsertCase& c : cases) {
        SCOPED_TRACE(c.name);
        CTlPointCurve curve = MakePointCurve(c.points);
        curve.SetCurrentPoint(c.current);
        EXPECT_EQ(c.code, curve.InsertPoint());
        ASSERT_EQ(c.after.size(), curve.GetPoints().size());
        for (std::size_t i = 0; i < c.after.size(); ++i)
            ExpectPoint(c.after[i], curve.GetPoints()[i]);
        EXPECT_EQ(c.newCurrent, curve.GetCurrentPoint());
    }
}

TEST(BumpCurveEditing, DeletingTheCurrentPointSelectsItsSuccessorOrTheLast)
{
    CTlLinearCurve curve = MakeLinearCurve(kThree, 0);
    curve.SetCurrentPoint(1);
    EXPECT_EQ(kTlHitCurrentPoint, curve.DeletePoint());
    EXPECT_EQ((std::vector<double>{0.25, 0.75}), XsOf(curve.GetFirstList()));
    EXPECT_EQ(1, curve.GetCurrentPoint());
    EXPECT_EQ(kTlHitCurrentPoint, curve.DeletePoint());
    EXPECT_EQ(0, curve.GetCurrentPoint()) << "the last point went: its predecessor";
    EXPECT_EQ(kTlHitCurrentPoint, curve.DeletePoint());
    EXPECT_EQ(0, curve.GetCount());
    EXPECT_EQ(-1, curve.GetCurrentPoint());
    ExpectPoint({-1, 0, -1}, curve.GetEditorState().readout);
    EXPECT_EQ(kTlHitCurrentPoint, curve.DeletePoint()) << "nothing to delete";
    EXPECT_EQ(0, curve.GetCount());
}

TEST(BumpCurveEditing, SelectionStepsWithinTheList)
{
    CTlPointCurve curve = MakePointCurve(kThree);
    curve.SetCurrentPoint(1);
    const struct {
        int (CTlCurveBase::*slot)();
        int current;
    } steps[] = {{&CTlCurveBase::SelectNext, 2}, {&CTlCurveBase::SelectNext, 2}, {&CTlCurveBase::SelectPrevious, 1},
                 {&CTlCurveBase::SelectPrevious, 0}, {&CTlCurveBase::SelectPrevious, 0}};
    for (const auto& step : steps) {
        EXPECT_EQ(kTlHitCurrentPoint, (curve.*step.slot)());
        EXPECT_EQ(step.current, curve.GetCurrentPoint());
        ExpectPoint(kThree[static_cast<std::size_t>(step.current)], curve.GetEditorState().readout);
    }
    CTlPointCurve empty = MakePointCurve({});
    EXPECT_EQ(kTlHitNone, empty.SelectNext());
    EXPECT_EQ(kTlHitNone, empty.SelectPrevious());
}

using KeySlot = int (CTlCurveBase::*)(ITlCurveEditView&);

struct NudgeCase {
    const char* name;
    KeySlot slot;
    Points points;
    int current;
    int code;
    Points after;
    int newCurrent;
};

TEST(BumpCurveEditing, KeyNudgesStayInRangeAndJumpOverNeighbours)
{
    // Steps: vertical 0.125, horizontal 0.0625.
    const NudgeCase cases[] = {
        {"value up to the top", &CTlCurveBase::ValueUp, {{0.5, 0.95, 0.1}}, 0, kTlHitCurrentPoint,
         {{0.5, 1.0, 0.1}}, 0},
        {"value down to the bottom", &CTlCurveBase::ValueDown, {{0.5, -0.95, 0.1}}, 0, kTlHitCurrentPoint,
         {{0.5, -1.0, 0.1}}, 0},
        {"left, clear of the neighbour", &CTlCurveBase::PositionLeft, {{0.2, 0, 0}, {0.5, 0, 0}}, 1,
         kTlHitCurrentPoint, {{0.2, 0, 0}, {0.4375, 0, 0}}, 1},
        {"left over a tight run", &CTlCurveBase::PositionLeft,
         {{0.2, 0, 0}, {0.4, 0, 0}, {0.41, 0, 0}, {0.45, 1, 0}}, 3, kTlHitCurrentPoint,
         {{0.2, 0, 0}, {0.39, 1, 0}, {0.4, 0, 0}, {0.41, 0, 0}}, 1},
        {"left, no room before the neighbour", &CTlCurveBase::PositionLeft, {{0.005, 0, 0}, {0.05, 1, 0}}, 1,
         kTlHitCurrentPoint, {{0.005, 0, 0}, {0.015, 1, 0}}, 1},
        {"right over a neighbour", &CTlCurveBase::PositionRight, {{0.5, 1, 0}, {0.55, 0, 0}, {0.9, 0, 0}}, 0,
         kTlHitCurrentPoint, {{0.55, 0, 0}, {0.56, 1, 0}, {0.9, 0, 0}}, 1},
        {"right, no room after the neighbour", &CTlCurveBase::PositionRight, {{0.95, 1, 0}, {0.995, 0, 0}}, 0,
         kTlHitCurrentPoint, {{0.985, 1, 0}, {0.995, 0, 0}}, 0},
        {"right to the end", &CTlCurveBase::PositionRight, {{0.98, 0, 0}}, 0, kTlHitCurrentPoint,
         {{1.0, 0, 0}}, 0},
        {"wider, limited", &CTlCurveBase::SecondaryUp, {{0.5, 0, 0.47}}, 0, kTlHitWidth, {{0.5, 0, 0.5}}, 0},
        {"narrower, limited", &CTlCurveBase::SecondaryDown, {{0.5, 0, 0.03}}, 0, kTlHitWidth, {{0.5, 0, 0}}, 0},
        {"tertiary up is wider", &CTlCurveBase::TertiaryUp, {{0.5, 0, 0.25}}, 0, kTlHitWidth,
         {{0.5, 0, 0.3125}}, 0},
        {"tertiary down is narrower", &CTlCurveBase::TertiaryDown, {{0.5, 0, 0.25}}, 0, kTlHitWidth,
         {{0.5, 0, 0.1875}}, 0},
    };
    for (const NudgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingView view;
        CTlPointCurve hue = MakePointCurve(c.points);
        CTlLinearCurve chroma = MakeLinearCurve(c.points, 0);
        for (CTlCurveBase* curve : {static_cast<CTlCurveBase*>(&hue), static_cast<CTlCurveBase*>(&chroma)}) {
            curve->SetCurrentPoint(c.current);
            EXPECT_EQ(c.code, (curve->*c.slot)(view));
            const Points& after = curve == &hue ? hue.GetPoints() : chroma.GetFirstList();
            ASSERT_EQ(c.after.size(), after.size());
            for (std::size_t i = 0; i < after.size(); ++i)
                ExpectPoint(c.after[i], after[i]);
            EXPECT_EQ(c.newCurrent, curve->GetCurrentPoint());
        }
    }
}

TEST(BumpCurveEditing, ZeroStepMovesNothingEvenBesideANeighbour)
{
    CRecordingView view;
    view.curveHorizontalStep = 0;
    const Points close = {{0.5, 0, 0}, {0.505, 0, 0}};
    CTlPointCurve hue = MakePointCurve(close);
    EXPECT_EQ(kTlHitCurrentPoint, hue.PositionRight(view));
    EXPECT_TRUE(SamePoints(close, hue.GetPoints()));
    EXPECT_EQ(0, hue.GetCurrentPoint());
}

TEST(BumpCurveEditing, KeysNeedACurrentPoint)
{
    const KeySlot slots[] = {&CTlCurveBase::ValueUp,       &CTlCurveBase::ValueDown,   &CTlCurveBase::PositionLeft,
                             &CTlCurveBase::PositionRight, &CTlCurveBase::SecondaryUp, &CTlCurveBase::SecondaryDown,
                             &CTlCurveBase::TertiaryUp,    &CTlCurveBase::TertiaryDown, &CTlCurveBase::OffsetUp,
                             &CTlCurveBase::OffsetDown};
    CRecordingView view;
    CTlPointCurve hue = MakePointCurve(kThree, 0.5);
    hue.SetCurrentPoint(-1);
    for (KeySlot slot : slots)
        EXPECT_EQ(kTlHitNone, (hue.*slot)(view));
    EXPECT_TRUE(SamePoints(kThree, hue.GetPoints()));
    EXPECT_EQ(0.5, hue.GetOffset());
}

TEST(BumpCurveEditing, OffsetNudgesStayInRangeAndMarkTheChange)
{
    CRecordingView view;
    CTlPointCurve hue = MakePointCurve(kThree, 0.9);
    EXPECT_EQ(kTlHitOffset, hue.OffsetUp(view));
    EXPECT_EQ(1.0, hue.GetOffset());
    EXPECT_EQ(kTlHitOffset, hue.OffsetDown(view));
    EXPECT_EQ(0.875, hue.GetOffset());

    CTlLinearCurve chroma = MakeLinearCurve(kThree, -0.9);
    chroma.SetScale(view, 1); // clears the changed byte
    ASSERT_FALSE(chroma.IsChanged());
    EXPECT_EQ(kTlHitOffset, chroma.OffsetDown(view));
    EXPECT_EQ(-1.0, chroma.GetFirstOffset());
    EXPECT_TRUE(chroma.IsChanged());
}

TEST(BumpCurveEditing, DraggedOffsetFollowsTheMouse)
{
    CRecordingView view;
    CTlPointCurve hue = MakePointCurve(kThree, 0, 1);
    ASSERT_EQ(kTlHitOffset, hue.MouseDown(view, {210, 99}));
    EXPECT_EQ(kTlHitOffset, hue.Track(view, {210, 49}));
    EXPECT_DOUBLE_EQ(0.5 / 3, hue.GetOffset()) << "scale 1: a third of the height";
    hue.MouseUp(view);
    EXPECT_EQ((Calls{"begin 128", "changed 128", "changed 128", "end 128"}), view.calls);

    CTlLinearCurve chroma = MakeLinearCurve(kThree, 0);
    ASSERT_EQ(kTlHitOffset, chroma.MouseDown(view, {210, 99}));
    chroma.Track(view, {210, 49});
    EXPECT_DOUBLE_EQ(0.5, chroma.GetFirstOffset());
    chroma.Track(view, {210, 250});
    EXPECT_DOUBLE_EQ(0.5, chroma.GetFirstOffset()) << "below the plot the offset stays";
    chroma.MouseUp(view);
}

TEST(BumpCurveEditing, DraggedWidthHandleSetsTheHalfWidth)
{
    CRecordingView view;
    CTlPointCurve hue = MakePointCurve({{0.5, 0.5, 0.2}});
    ASSERT_EQ(kTlHitWidth, hue.MouseDown(view, {40, 210}));
    hue.Track(view, {60, 210});
    EXPECT_DOUBLE_EQ(0.3, hue.GetPoints()[0].z);
    hue.Track(view, {180, 210});
    EXPECT_DOUBLE_EQ(0.5, hue.GetPoints()[0].z);
    ExpectPoint(hue.GetPoints()[0], hue.GetEditorState().readout);
}

TEST(BumpCurveEditing, ToggleFiresOnlyWhenReleasedOnTheButton)
{
    CRecordingView view;
    CTlPointCurve hue = MakePointCurve(kThree);
    for (int expected : {2, 3, 1, 2}) {
        EXPECT_EQ(kTlHitToggle, Toggle(hue, view));
        EXPECT_EQ(expected, hue.GetScale());
    }
    Toggle(hue, view, {300, 300});
    EXPECT_EQ(2, hue.GetScale()) << "released off the button";

    view.calls.clear();
    hue.MouseDown(view, {230, 230});
    hue.Track(view, {300, 300});
    hue.Track(view, {231, 231});
    hue.MouseUp(view);
    EXPECT_EQ(3, hue.GetScale()) << "back on the button before the release";
    EXPECT_EQ((Calls{"begin 512", "changed 512", "changed 512", "changed 512", "end 512"}), view.calls);

    CTlLinearCurve chroma = MakeLinearCurve(kThree, 0);
    for (int expected : {2, 1, 2}) {
        Toggle(chroma, view);
        EXPECT_EQ(expected, chroma.GetMultiplier());
    }
}

TEST(BumpCurveEditing, SetScaleLimitsTheHueScaleAndResetsTheMultiplier)
{
    CRecordingView view;
    CTlPointCurve hue = MakePointCurve(kThree);
    const struct {
        int value;
        int scale;
    } cases[] = {{0, 1}, {-5, 1}, {2, 2}, {3, 3}, {7, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(kTlHitToggle, hue.SetScale(view, c.value));
        EXPECT_EQ(c.scale, hue.GetScale()) << c.value;
    }

    CTlLinearCurve chroma = MakeLinearCurve(kThree, 0);
    Toggle(chroma, view);
    ASSERT_EQ(2, chroma.GetMultiplier());
    EXPECT_EQ(kTlHitToggle, chroma.SetScale(view, 2));
    EXPECT_EQ(1, chroma.GetMultiplier());
    EXPECT_FALSE(chroma.IsChanged());
}

TEST(BumpCurveEditing, ZoomedChromaPlotShowsHalfTheRange)
{
    CRecordingView view;
    CTlLinearCurve chroma = MakeLinearCurve({}, 0);
    Toggle(chroma, view);
    ASSERT_EQ(kTlHitCurrentPoint, chroma.MouseDown(view, BumpAt(0.5, 0.8)));
    EXPECT_DOUBLE_EQ(0.4, chroma.GetFirstList()[0].y);
}

TEST(BumpCurveEditing, NotificationsComeInTrackingOrder)
{
    CRecordingView view;
    CTlPointCurve hue = MakePointCurve(kThree, 0, 3);
    EXPECT_EQ(kTlHitCurrentPoint, hue.MouseDown(view, BumpAt(0.5, -0.25)));
    EXPECT_EQ(kTlHitCurrentPoint, hue.Track(view, BumpAt(0.55, -0.25)));
    EXPECT_EQ(kTlHitCurrentPoint, hue.MouseUp(view));
    EXPECT_EQ((Calls{"begin 4", "changed 4", "changed 4", "end 4"}), view.calls);
    EXPECT_EQ(kTlHitNone, hue.MouseUp(view)) << "idle: nothing to end";
    EXPECT_EQ(kTlHitNone, hue.MouseDown(view, {300, 300})) << "a press on nothing starts nothing";
    EXPECT_EQ(4u, view.calls.size());
}

TEST(BumpCurveEditing, DegeneratePlotsStillDivide)
{
    CRecordingView view;
    view.pointCurvePlot = {0, 0, 1, 1};
    view.linearCurvePlot = {5, 5, 5, 5};
    view.offsetHandleStrip = {1, 0, 2, 1};
    CTlPointCurve hue = MakePointCurve({});
    EXPECT_EQ(kTlHitCurrentPoint, hue.MouseDown(view, {0, 0}));
    hue.Track(view, {1, 1});
    hue.MouseUp(view);
    EXPECT_EQ(kTlHitOffset, hue.MouseDown(view, {1, 0}));
    hue.Track(view, {1, -3});
    hue.MouseUp(view);
    ASSERT_EQ(1, hue.GetCount());
    const TlBumpPoint& point = hue.GetPoints()[0];
    EXPECT_TRUE(std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z));
    EXPECT_TRUE(std::isfinite(hue.GetOffset()));

    CTlLinearCurve chroma = MakeLinearCurve({{0.5, 0.5, 0.1}}, 0);
    EXPECT_EQ(kTlHitNone, chroma.Track(view, {5, 5})) << "an empty plot holds no pixel";
    chroma.SetCurrentPoint(0);
    chroma.MouseDown(view, {230, 230});
    chroma.MouseUp(view);
    EXPECT_TRUE(std::isfinite(chroma.GetFirstList()[0].y));
}

} // namespace
