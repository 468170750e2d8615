// The keyboard side of the tone curve's editor: insertion, deletion,
// selection and nudges of points and input levels. Every nudge needs a
// current point; a tone curve never goes below two points.
#include "settings/curves/TlLut.h"

#include "settings/curves/TlCurveEditing.h"
#include "settings/curves/TlLutCurve.h"
#include "settings/curves/TlLutPlot.h"

#include <algorithm>

namespace {

// The curve's ends extend flat to virtual points just outside 0..1, so that
// a point can be inserted before the first and after the last.
constexpr double kBeforeFirst = -0.01;
constexpr double kAfterLast = 1.01;

// Point `index` of the list, or a virtual end point beyond it.
TlLutPoint PointOrEnd(const std::vector<TlLutPoint>& points, int index)
{
    const int last = static_cast<int>(points.size()) - 1;
    if (index < 0)
        return TlLutKnot(kBeforeFirst, points.front().y);
    if (index > last)
        return TlLutKnot(kAfterLast, points.back().y);
    return points[static_cast<std::size_t>(index)];
}

// The index before which a point fits between two neighbours at least the
// minimum gap apart: first going back from the current point, then forward.
// -1 when no gap is wide enough.
int FindInsertionGap(const std::vector<TlLutPoint>& points, int current)
{
    const int count = static_cast<int>(points.size());
    for (int upper = current; upper >= 0; --upper) {
        if (PointOrEnd(points, upper).x - PointOrEnd(points, upper - 1).x >= TlCurveEditing::kMinGap)
            return upper;
    }
    for (int upper = current + 1; upper <= count; ++upper) {
        if (PointOrEnd(points, upper).x - PointOrEnd(points, upper - 1).x >= TlCurveEditing::kMinGap)
            return upper;
    }
    return -1;
}

} // namespace

int CTlLut::InsertPoint()
{
    if (!HasCurrentPoint() || !HasRoomForPoint())
        return kTlHitNone;
    const int index = FindInsertionGap(m_live.points, m_currentPoint);
    if (index < 0)
        return kTlHitNone;
    const TlLutPoint low = PointOrEnd(m_live.points, index - 1);
    const TlLutPoint high = PointOrEnd(m_live.points, index);
    double x = std::clamp((low.x + high.x) / 2, 0.0, 1.0);
    x = std::min(std::max(x, low.x + TlCurveEditing::kMinSpacing), high.x - TlCurveEditing::kMinSpacing);
    if (!TlInsertPointAt(m_live.points, index, TlLutKnot(x, (low.y + high.y) / 2)))
        return kTlHitNone;
    m_currentPoint = index;
    ShowPoint(index);
    MarkPointsEdited();
    return kTlHitCurrentPoint;
}

int CTlLut::DeletePoint()
{
    if (!HasCurrentPoint() || GetCount() <= 2)
        return kTlHitNone;
    RemoveCurrentPoint();
    return kTlHitCurrentPoint;
}

int CTlLut::Select(int step)
{
    if (GetCount() == 0)
        return kTlHitNone;
    m_currentPoint = TlSteppedIndex(m_currentPoint, GetCount(), step);
    ShowPoint(m_currentPoint);
    return kTlHitCurrentPoint;
}

int CTlLut::SelectNext()
{
    return Select(+1);
}

int CTlLut::SelectPrevious()
{
    return Select(-1);
}

int CTlLut::NudgeValue(double delta)
{
    if (!HasCurrentPoint())
        return kTlHitNone;
    TlLutPoint& point = m_live.points[static_cast<std::size_t>(m_currentPoint)];
    point.y = std::clamp(point.y + delta, 0.0, 1.0);
    ShowPoint(m_currentPoint);
    MarkPointsEdited();
    return kTlHitCurrentPoint;
}

int CTlLut::NudgePosition(double delta)
{
    if (!HasCurrentPoint())
        return kTlHitNone;
    m_currentPoint = TlNudgePointX(m_live.points, m_currentPoint, delta);
    ShowPoint(m_currentPoint);
    MarkPointsEdited();
    return kTlHitCurrentPoint;
}

int CTlLut::NudgeBlack(const ITlCurveEditView& view, double delta)
{
    if (!HasCurrentPoint())
        return kTlHitNone;
    // Black stays the level gap below white as well as below 1.
    const double gap = TlLutPlot(view.lutPlot).LevelGap();
    const double highest = std::min(1.0, m_live.white) - gap;
    m_live.black = std::max(0.0, std::min(m_live.black + delta, highest));
    m_editor.readoutX = m_live.black;
    m_editor.readoutY = 0.0;
    m_editor.changed = 1;
    return kTlHitBlack;
}

int CTlLut::NudgeWhite(const ITlCurveEditView& view, double delta)
{
    if (!HasCurrentPoint())
        return kTlHitNone;
    // White stays the level gap above black as well as above 0.
    const double gap = TlLutPlot(view.lutPlot).LevelGap();
    const double lowest = std::max(0.0, m_live.black) + gap;
    m_live.white = std::min(1.0, std::max(m_live.white + delta, lowest));
    m_editor.readoutX = m_live.white;
    m_editor.readoutY = 1.0;
    m_editor.changed = 1;
    return kTlHitWhite;
}

int CTlLut::ValueUp(ITlCurveEditView& view)
{
    return NudgeValue(view.lutVerticalStep);
}

int CTlLut::ValueDown(ITlCurveEditView& view)
{
    return NudgeValue(-view.lutVerticalStep);
}

int CTlLut::PositionLeft(ITlCurveEditView& view)
{
    return NudgePosition(-view.lutHorizontalStep);
}

int CTlLut::PositionRight(ITlCurveEditView& view)
{
    return NudgePosition(view.lutHorizontalStep);
}

int CTlLut::SecondaryDown(ITlCurveEditView& view)
{
    return NudgeBlack(view, -view.lutHorizontalStep);
}

int CTlLut::SecondaryUp(ITlCurveEditView& view)
{
    return NudgeBlack(view, view.lutHorizontalStep);
}

int CTlLut::TertiaryDown(ITlCurveEditView& view)
{
    return NudgeWhite(view, -view.lutHorizontalStep);
}

int CTlLut::TertiaryUp(ITlCurveEditView& view)
{
    return NudgeWhite(view, view.lutHorizontalStep);
}

// A tone curve has no offset and no zoom.
int CTlLut::OffsetUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLut::OffsetDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLut::SetScale(ITlCurveEditView&, int)
{
    return kTlHitNone;
}
