// The hue curve's editing slots: the shared bump-curve editor over a plot
// whose top edge means a height of scale/3.
#include "settings/curves/TlPointCurve.h"

#include "settings/curves/TlBumpCurveEditor.h"

#include <algorithm>

namespace {
constexpr int kScaleSteps = 3; // the toggle cycles the scale 1, 2, 3
}

CTlBumpCurveEditor CTlPointCurve::Editor()
{
    const int scale = TlEffectiveZoom(m_scale, kScaleSteps);
    return CTlBumpCurveEditor({m_points, m_currentPoint, m_editor, m_changed, m_offset, m_scale, kScaleSteps,
                               &ITlCurveEditView::pointCurvePlot, 1.0, scale / 3.0, false, true, false});
}

int CTlPointCurve::Track(ITlCurveEditView& view, POINT mouse)
{
    return Editor().Track(view, mouse);
}

int CTlPointCurve::MouseDown(ITlCurveEditView& view, POINT mouse)
{
    return Editor().MouseDown(view, mouse);
}

int CTlPointCurve::MouseUp(ITlCurveEditView& view)
{
    return Editor().MouseUp(view);
}

int CTlPointCurve::InsertPoint()
{
    return Editor().InsertPoint();
}

int CTlPointCurve::DeletePoint()
{
    return Editor().DeletePoint();
}

int CTlPointCurve::SelectNext()
{
    return Editor().Select(+1);
}

int CTlPointCurve::SelectPrevious()
{
    return Editor().Select(-1);
}

int CTlPointCurve::ValueUp(ITlCurveEditView& view)
{
    return Editor().NudgeValue(view.curveVerticalStep);
}

int CTlPointCurve::ValueDown(ITlCurveEditView& view)
{
    return Editor().NudgeValue(-view.curveVerticalStep);
}

int CTlPointCurve::PositionLeft(ITlCurveEditView& view)
{
    return Editor().NudgePosition(-view.curveHorizontalStep);
}

int CTlPointCurve::PositionRight(ITlCurveEditView& view)
{
    return Editor().NudgePosition(view.curveHorizontalStep);
}

int CTlPointCurve::SecondaryDown(ITlCurveEditView& view)
{
    return Editor().NudgeWidth(-view.curveHorizontalStep);
}

int CTlPointCurve::SecondaryUp(ITlCurveEditView& view)
{
    return Editor().NudgeWidth(view.curveHorizontalStep);
}

int CTlPointCurve::TertiaryDown(ITlCurveEditView& view)
{
    return SecondaryDown(view);
}

int CTlPointCurve::TertiaryUp(ITlCurveEditView& view)
{
    return SecondaryUp(view);
}

int CTlPointCurve::OffsetUp(ITlCurveEditView& view)
{
    return Editor().NudgeOffset(view.curveVerticalStep);
}

int CTlPointCurve::OffsetDown(ITlCurveEditView& view)
{
    return Editor().NudgeOffset(-view.curveVerticalStep);
}

int CTlPointCurve::SetScale(ITlCurveEditView&, int value)
{
    m_scale = std::clamp(value, 1, kScaleSteps);
    m_changed = 1;
    return kTlHitToggle;
}
