// Editing the tone curve as a curve editor drives it: hover tests on the
// points and the level sliders with their ties, clicks and drags with the
// gamma correction, the two points a tone curve always keeps, insertion,
// key nudges of points and levels, and plots too small to divide by. The
// plot is 101 x 101 pixels (CurveEditingTestSupport.h).
#include "CurveEditingTestSupport.h"
#include "LutTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace lut_test;
using curve_edit_test::CRecordingView;
using curve_edit_test::LutAt;
using Calls = std::vector<std::string>;

namespace {

const TlLutColour kBlack = {0, 0, 0};

CTlLut NewLut()
{
    return CTlLut(nullptr, 1, kBlack, kBlack, kBlack);
}

void ExpectPoints(const Knots& expected, const CTlLut& lut)
{
    ASSERT_EQ(int(expected.size()), lut.GetCount());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        double x = -1, y = -1;
        lut.GetPoint(int(i), x, y);
        EXPECT_DOUBLE_EQ(expected[i].x, x) << "point " << i;
        EXPECT_DOUBLE_EQ(expected[i].y, y) << "point " << i;
    }
}

void ExpectReadout(double x, double y, const CTlLut& lut)
{
    EXPECT_DOUBLE_EQ(x, lut.GetEditorState().readoutX);
    EXPECT_DOUBLE_EQ(y, lut.GetEditorState().readoutY);
}

TEST(LutEditing, HoverFindsPointsAndShowsTheMouseOrThePoint)
{
    const struct {
        const char* name;
        POINT mouse;
        int code;
        int hitIndex;
        SKnot readout;
    } cases[] = {
        {"between the ends: the first of equals", LutAt(0.5, 0.5), kTlHitPlot, 0, {0.5, 0.5}},
        {"near the current point, above it", LutAt(0.02, 0.1), kTlHitCurrentPoint, 0, {0.02, 0.1}},
        {"on another point", LutAt(0.98, 0.97), kTlHitPoint, 1, {1.0, 1.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingView view;
        CTlLut lut = NewLut();
        EXPECT_EQ(c.code, lut.Track(view, c.mouse));
        EXPECT_EQ(c.hitIndex, lut.GetEditorState().hitIndex);
        ExpectReadout(c.readout.x, c.readout.y, lut);
    }
    CRecordingView view;
    CTlLut lut = NewLut();
    EXPECT_EQ(kTlHitNone, lut.Track(view, {101, 50})) << "right of the plot";
}

TEST(LutEditing, ShownLevelsMapTheMouseOntoTheCurve)
{
    CRecordingView view;
    view.showInputLevels = 1;
    view.showOutputLevels = 1;
    CTlLut lut = LutWithPoints({{0, 0}, {1, 1}}, {{kAtBlack, 0.2}, {kAtWhite, 0.6}, {kAtOutputLow, 0.5}});
    EXPECT_EQ(kTlHitPlot, lut.Track(view, LutAt(0.4, 0.75)));
    ExpectReadout(0.5, 0.5, lut);
    // Below black and below output low: on the first point.
    EXPECT_EQ(kTlHitCurrentPoint, lut.MouseDown(view, LutAt(0.1, 0.25)));
    ExpectPoints({{0, 0}, {1, 1}}, lut);
}

struct InputSliderCase {
    const char* name;
    double black;
    double white;
    double gamma;
    LONG x;
    int code;
};

TEST(LutEditing, InputSlidersNearestWinsAndTiesGoToTheOuterOne)
{
    // Slider tolerance 3 pixels; the plot is 100 steps wide.
    const InputSliderCase cases[] = {
        {"black", 0.2, 0.8, 1, 21, kTlHitBlack},
        {"midtone", 0.2, 0.8, 1, 52, kTlHitMidtone},
        {"white", 0.2, 0.8, 1, 77, kTlHitWhite},
        {"beyond the tolerance", 0.2, 0.8, 1, 84, kTlHitNone},
        {"halfway between black and midtone", 0.2, 0.8, 1, 35, kTlHitNone},
        // Gamma 20 puts the midtone slider on the black one (both at 50).
        {"tie, left of black", 0.5, 0.6, 20, 49, kTlHitBlack},
        {"tie, on both", 0.5, 0.6, 20, 50, kTlHitNone},
        {"tie, right of the midtone", 0.5, 0.6, 20, 51, kTlHitMidtone},
        // Gamma 0.05 puts it on the white one (both at 50).
        {"tie, left of the midtone", 0.4, 0.5, 0.05, 49, kTlHitMidtone},
        {"tie, on midtone and white", 0.4, 0.5, 0.05, 50, kTlHitNone},
        {"tie, right of white", 0.4, 0.5, 0.05, 51, kTlHitWhite},
    };
    for (const InputSliderCase& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingView view;
        view.showInputLevels = 1;
        CTlLut lut = LutWithPoints({{0, 0}, {1, 1}}, {{kAtBlack, c.black}, {kAtWhite, c.white}});
        lut.SetClampedParam(c.gamma);
        EXPECT_EQ(c.code, lut.Track(view, {c.x, 115}));
        if (c.code == kTlHitMidtone) {
            EXPECT_DOUBLE_EQ(c.x / 100.0, lut.GetEditorState().readoutX);
        }
        view.showInputLevels = 0;
        EXPECT_EQ(kTlHitNone, lut.Track(view, {c.x, 115})) << "hidden sliders";
    }
}

TEST(LutEditing, OutputSlidersNearestWinsAndLowTakesTheTieBelowHigh)
{
    const struct {
        const char* name;
        double low;
        double high;
        LONG y;
        int code;
    } cases[] = {
        // Level 0.2 is drawn at row 80, level 0.8 at row 20.
        {"low", 0.2, 0.8, 78, kTlHitOutputLow},
        {"high", 0.2, 0.8, 22, kTlHitOutputHigh},
        {"between, beyond the tolerance", 0.2, 0.8, 50, kTlHitNone},
        {"together, on them", 0.5, 0.5, 50, kTlHitOutputLow},
        {"together, below them", 0.5, 0.5, 51, kTlHitOutputLow},
        {"together, above them", 0.5, 0.5, 49, kTlHitOutputHigh},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingView view;
        view.showOutputLevels = 1;
        CTlLut lut = LutWithPoints({{0, 0}, {1, 1}}, {{kAtOutputLow, c.low}, {kAtOutputHigh, c.high}});
        EXPECT_EQ(c.code, lut.Track(view, {115, c.y}));
    }
}

TEST(LutEditing, DraggedSlidersKeepTheirOrder)
{
    const struct {
        const char* name;
        POINT press;
        POINT drag;
        int code;
        TlLutParams levels; // black, gamma, white, output low, output high
    } cases[] = {
        {"black beyond white", {20, 115}, {90, 115}, kTlHitBlack, {0.78, 1, 0.8, 0.2, 0.8, {}, 0, 0}},
        {"white below black", {80, 115}, {10, 115}, kTlHitWhite, {0.2, 1, 0.22, 0.2, 0.8, {}, 0, 0}},
        {"midtone to a quarter", {50, 115}, {35, 115}, kTlHitMidtone, {0.2, 2, 0.8, 0.2, 0.8, {}, 0, 0}},
        {"output low above high", {115, 80}, {115, 10}, kTlHitOutputLow, {0.2, 1, 0.8, 0.78, 0.8, {}, 0, 0}},
        {"output high below low", {115, 20}, {115, 95}, kTlHitOutputHigh, {0.2, 1, 0.8, 0.2, 0.22, {}, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingView view;
        view.showInputLevels = 1;
        view.showOutputLevels = 1;
        CTlLut lut = LutWithPoints({{0, 0}, {1, 1}},
                             {{kAtBlack, 0.2}, {kAtWhite, 0.8}, {kAtOutputLow, 0.2}, {kAtOutputHigh, 0.8}});
        ASSERT_EQ(c.code, lut.MouseDown(view, c.press));
        EXPECT_EQ(c.code, lut.Track(view, c.drag));
        EXPECT_EQ(c.code, lut.MouseUp(view));
        const TlLutParams& p = lut.GetParams();
        EXPECT_DOUBLE_EQ(c.levels.black, p.black);
        EXPECT_DOUBLE_EQ(c.levels.gamma, p.gamma);
        EXPECT_DOUBLE_EQ(c.levels.white, p.white);
        EXPECT_DOUBLE_EQ(c.levels.outputLow, p.outputLow);
        EXPECT_DOUBLE_EQ(c.levels.outputHigh, p.outputHigh);
        const std::string code = std::to_string(c.code);
        EXPECT_EQ((Calls{"begin " + code, "changed " + code, "changed " + code, "end " + code}), view.calls);
    }
}

TEST(LutEditing, MidtoneSliderStaysAPixelInsideTheLevels)
{
    CRecordingView view;
    view.showInputLevels = 1;
    CTlLut lut = LutWithPoints({{0, 0}, {1, 1}}, {{kAtBlack, 0.2}, {kAtWhite, 0.8}});
    ASSERT_EQ(kTlHitMidtone, lut.MouseDown(view, {50, 115}));
    lut.Track(view, {0, 115});
    EXPECT_NEAR(std::log(0.01 / 0.6) / std::log(0.5), lut.GetParams().gamma, 1e-9);
    EXPECT_DOUBLE_EQ(0.21, lut.GetEditorState().readoutX);
}

TEST(LutEditing, ClickInsertsAPointThatFollowsTheGammaCorrectedCurve)
{
    CRecordingView view;
    CTlLut lut = NewLut();
    EXPECT_EQ(kTlHitCurrentPoint, lut.MouseDown(view, LutAt(0.5, 0.25)));
    ExpectPoints({{0, 0}, {0.5, 0.25}, {1, 1}}, lut);
    EXPECT_EQ(1, lut.GetCurrentPoint());
    EXPECT_EQ(1, lut.GetParams().slopesStale);
    EXPECT_TRUE(lut.IsChanged());
    EXPECT_EQ((Calls{"begin 4", "changed 4"}), view.calls);

    CTlLut lifted = NewLut();
    lifted.SetClampedParam(2.0);
    lifted.MouseDown(view, LutAt(0.5, 0.5));
    ExpectPoints({{0, 0}, {0.5, 0.5 - (std::sqrt(0.5) - 0.5)}, {1, 1}}, lifted);
    // Dragged onto the first point it stops 0.01 short, still corrected.
    lifted.Track(view, LutAt(0, 0.5));
    ExpectPoints({{0, 0}, {0.01, 0.5 - (0.1 - 0.01)}, {1, 1}}, lifted);
    // The last point follows the mouse as it is.
    lifted.MouseUp(view);
    lifted.MouseDown(view, LutAt(1, 1));
    lifted.Track(view, LutAt(1, 0.75));
    ExpectPoints({{0, 0}, {0.01, 0.5 - (0.1 - 0.01)}, {1, 0.75}}, lifted);
}

TEST(LutEditing, ClickInsertsNothingAtTheMaximum)
{
    CRecordingView view;
    CTlLut lut = NewLut();
    lut.SetMaxPoints(2);
    EXPECT_EQ(kTlHitNone, lut.MouseDown(view, LutAt(0.5, 0.25)));
    EXPECT_EQ(2, lut.GetCount());
    EXPECT_TRUE(view.calls.empty());
}

TEST(LutEditing, TwoPointsStayWhenPulledOutOfThePlot)
{
    CRecordingView view;
    CTlLut lut = NewLut();
    ASSERT_EQ(kTlHitCurrentPoint, lut.MouseDown(view, LutAt(1, 1)));
    EXPECT_EQ(kTlHitCurrentPoint, lut.Track(view, {50, 150}));
    EXPECT_EQ(2, lut.GetCount());
    ExpectPoints({{0, 0}, {0.5, 0}}, lut);
    EXPECT_EQ(kTlHitCurrentPoint, lut.MouseUp(view));

    CTlLut three = LutWithPoints({{0, 0}, {0.5, 0.5}, {1, 1}});
    view.calls.clear();
    ASSERT_EQ(kTlHitCurrentPoint, three.MouseDown(view, LutAt(0.5, 0.5)));
    EXPECT_EQ(kTlHitNone, three.Track(view, {50, 150}));
    ExpectPoints({{0, 0}, {1, 1}}, three);
    EXPECT_EQ(1, three.GetCurrentPoint());
    EXPECT_EQ((Calls{"begin 4", "changed 4", "end 4"}), view.calls);
}

TEST(LutEditing, DeletionByKeyKeepsTwoPoints)
{
    CTlLut lut = LutWithPoints({{0, 0}, {0.5, 0.5}, {1, 1}});
    lut.SetCurrentPoint(2);
    EXPECT_EQ(kTlHitCurrentPoint, lut.DeletePoint());
    ExpectPoints({{0, 0}, {0.5, 0.5}}, lut);
    EXPECT_EQ(1, lut.GetCurrentPoint());
    ExpectReadout(0.5, 0.5, lut);
    EXPECT_EQ(kTlHitNone, lut.DeletePoint());
    EXPECT_EQ(2, lut.GetCount());
}

TEST(LutEditing, SelectionStepsWithinThePoints)
{
    CTlLut lut = LutWithPoints({{0, 0}, {0.5, 0.25}, {1, 1}});
    const struct {
        int (CTlCurveBase::*slot)();
        int current;
    } steps[] = {{&CTlCurveBase::SelectPrevious, 0}, {&CTlCurveBase::SelectNext, 1}, {&CTlCurveBase::SelectNext, 2},
                 {&CTlCurveBase::SelectNext, 2}};
    for (const auto& step : steps) {
        EXPECT_EQ(kTlHitCurrentPoint, (lut.*step.slot)());
        EXPECT_EQ(step.current, lut.GetCurrentPoint());
    }
    ExpectReadout(1, 1, lut);
}

struct LutInsertCase {
    const char* name;
    Knots points;
    int current;
    int code;
    Knots after;
    int newCurrent;
};

TEST(LutEditing, InsertedPointGoesIntoTheNearestWideGap)
{
    Knots packed;
    for (int i = 0; i <= 100; ++i)
        packed.push_back({i / 100.0, i / 100.0});
    const LutInsertCase cases[] = {
        {"halfway back from the current point", {{0, 0}, {1, 1}}, 1, kTlHitCurrentPoint,
         {{0, 0}, {0.5, 0.5}, {1, 1}}, 1},
        {"first point at 0: forwards", {{0, 0}, {1, 1}}, 0, kTlHitCurrentPoint, {{0, 0}, {0.5, 0.5}, {1, 1}}, 1},
        {"tight pair behind: forwards", {{0, 0}, {0.01, 0.2}, {1, 1}}, 1, kTlHitCurrentPoint,
         {{0, 0}, {0.01, 0.2}, {0.505, 0.6}, {1, 1}}, 2},
        {"before the first point", {{0.05, 0.4}, {1, 1}}, 0, kTlHitCurrentPoint,
         {{0.02, 0.4}, {0.05, 0.4}, {1, 1}}, 0},
        {"back from the last point", {{0, 0}, {0.005, 0.1}, {0.95, 0.8}}, 2, kTlHitCurrentPoint,
         {{0, 0}, {0.005, 0.1}, {0.4775, 0.45}, {0.95, 0.8}}, 2},
        {"after the last point", {{0, 0}, {0.01, 0.5}}, 1, kTlHitCurrentPoint, {{0, 0}, {0.01, 0.5}, {0.51, 0.5}}, 2},
        {"no gap anywhere", packed, 50, kTlHitNone, packed, 50},
        {"no current point", {{0, 0}, {1, 1}}, -1, kTlHitNone, {{0, 0}, {1, 1}}, -1},
    };
    for (const LutInsertCase& c : cases) {
        SCOPED_TRACE(c.name);
        CTlLut lut = LutWithPoints(c.points);
        lut.SetCurrentPoint(c.current);
        EXPECT_EQ(c.code, lut.InsertPoint());
        ExpectPoints(c.after, lut);
        EXPECT_EQ(c.newCurrent, lut.GetCurrentPoint());
    }

    CTlLut full = NewLut();
    full.SetMaxPoints(2);
    EXPECT_EQ(kTlHitNone, full.InsertPoint()) << "no room under the maximum";
}

using KeySlot = int (CTlCurveBase::*)(ITlCurveEditView&);

struct LutNudgeCase {
    const char* name;
    KeySlot slot;
    Knots points;
    int current;
    int code;
    Knots after;
    int newCurrent;
};

TEST(LutEditing, PointNudgesStayInTheSquare)
{
    // Steps: vertical 0.125, horizontal 0.0625.
    const LutNudgeCase cases[] = {
        {"value up", &CTlCurveBase::ValueUp, {{0, 0.95}, {1, 1}}, 0, kTlHitCurrentPoint, {{0, 1}, {1, 1}}, 0},
        {"value down", &CTlCurveBase::ValueDown, {{0, 0.05}, {1, 1}}, 0, kTlHitCurrentPoint, {{0, 0}, {1, 1}}, 0},
        {"left at the edge", &CTlCurveBase::PositionLeft, {{0, 0}, {1, 1}}, 0, kTlHitCurrentPoint,
         {{0, 0}, {1, 1}}, 0},
        {"right over a tight pair", &CTlCurveBase::PositionRight, {{0, 0}, {0.5, 0.5}, {0.52, 0.6}, {0.53, 0.7}, {1, 1}},
         1, kTlHitCurrentPoint, {{0, 0}, {0.52, 0.6}, {0.53, 0.7}, {0.54, 0.5}, {1, 1}}, 3},
        {"right, no room after the last", &CTlCurveBase::PositionRight, {{0, 0}, {0.5, 0.5}, {0.995, 0.9}, {1, 1}},
         2, kTlHitCurrentPoint, {{0, 0}, {0.5, 0.5}, {0.99, 0.9}, {1, 1}}, 2},
        {"offset up: none", &CTlCurveBase::OffsetUp, {{0, 0}, {1, 1}}, 0, kTlHitNone, {{0, 0}, {1, 1}}, 0},
        {"offset down: none", &CTlCurveBase::OffsetDown, {{0, 0}, {1, 1}}, 0, kTlHitNone, {{0, 0}, {1, 1}}, 0},
    };
    for (const LutNudgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingView view;
        CTlLut lut = LutWithPoints(c.points);
        lut.SetCurrentPoint(c.current);
        EXPECT_EQ(c.code, (lut.*c.slot)(view));
        ExpectPoints(c.after, lut);
        EXPECT_EQ(c.newCurrent, lut.GetCurrentPoint());
    }
}

TEST(LutEditing, LevelNudgesKeepBlackBelowWhite)
{
    // A level gap of 2 pixels is 0.02; the horizontal step is 0.0625.
    const struct {
        const char* name;
        KeySlot slot;
        double black;
        double white;
        int code;
        double newBlack;
        double newWhite;
        SKnot readout;
    } cases[] = {
        {"black up, held below white", &CTlCurveBase::SecondaryUp, 0.25, 0.3, kTlHitBlack, 0.28, 0.3, {0.28, 0}},
        {"black up, held below 1", &CTlCurveBase::SecondaryUp, 0.97, 1, kTlHitBlack, 0.98, 1, {0.98, 0}},
        {"black down to 0", &CTlCurveBase::SecondaryDown, 0.03, 1, kTlHitBlack, 0, 1, {0, 0}},
        {"white down, held above black", &CTlCurveBase::TertiaryDown, 0.25, 0.3, kTlHitWhite, 0.25, 0.27,
         {0.27, 1}},
        {"white down, held above the gap", &CTlCurveBase::TertiaryDown, 0, 0.05, kTlHitWhite, 0, 0.02, {0.02, 1}},
        {"white up to 1", &CTlCurveBase::TertiaryUp, 0, 0.97, kTlHitWhite, 0, 1, {1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingView view;
        CTlLut lut = LutWithPoints({{0, 0}, {1, 1}}, {{kAtBlack, c.black}, {kAtWhite, c.white}});
        EXPECT_EQ(c.code, (lut.*c.slot)(view));
        EXPECT_DOUBLE_EQ(c.newBlack, lut.GetParams().black);
        EXPECT_DOUBLE_EQ(c.newWhite, lut.GetParams().white);
        ExpectReadout(c.readout.x, c.readout.y, lut);
        lut.SetCurrentPoint(-1);
        EXPECT_EQ(kTlHitNone, (lut.*c.slot)(view)) << "no current point";
    }
}

TEST(LutEditing, SetScaleDoesNothing)
{
    CRecordingView view;
    CTlLut lut = NewLut();
    EXPECT_EQ(kTlHitNone, lut.SetScale(view, 2));
}

TEST(LutEditing, DegenerateSizesStillDivide)
{
    for (const RECT plot : {RECT{0, 0, 1, 1}, RECT{0, 0, 2, 2}, RECT{5, 5, 5, 5}}) {
        CRecordingView view;
        view.lutPlot = plot;
        view.showInputLevels = 1;
        view.showOutputLevels = 1;
        view.lutHorizontalStep = 0.5;
        CTlLut lut = LutWithPoints({{0, 0}, {1, 1}}, {{kAtBlack, 0.5}, {kAtWhite, 0.5}, {kAtOutputLow, 0.5},
                                                {kAtOutputHigh, 0.5}});
        lut.MouseDown(view, {0, 0});
        lut.Track(view, {1, 1});
        lut.MouseUp(view);
        lut.SecondaryUp(view);
        lut.TertiaryDown(view);
        const TlLutParams& p = lut.GetParams();
        for (const TlLutPoint& point : p.points)
            EXPECT_TRUE(std::isfinite(point.x) && std::isfinite(point.y));
        EXPECT_TRUE(std::isfinite(p.gamma));
        EXPECT_TRUE(std::isfinite(lut.GetEditorState().readoutX));
        EXPECT_LT(p.black, p.white);
    }
}

} // namespace
