// The chroma-by-hue curve's editing slots: the shared bump-curve editor over
// a plot that shows +-1/multiplier around the offset. Editing always works on
// the first list and on the offset of the mode.
#include "settings/curves/TlLinearCurve.h"

#include "settings/curves/TlBumpCurveEditor.h"

namespace {
constexpr int kMultiplierSteps = 2; // the toggle alternates the multiplier 1, 2
}

CTlBumpCurveEditor CTlLinearCurve::Editor()
{
    // The zoom shows only on the edited, stored curve.
    const int zoom = EditsFirstList() ? TlEffectiveZoom(m_multiplier, kMultiplierSteps) : 1;
    double& offset = EditsFirstList() ? m_firstOffset : m_secondOffset;
    return CTlBumpCurveEditor({m_first, m_currentPoint, m_editor, m_changed, offset, m_multiplier, kMultiplierSteps,
                               &ITlCurveEditView::linearCurvePlot, 1.0 / zoom, 1.0, true, false, true});
}

int CTlLinearCurve::Track(ITlCurveEditView& view, POINT mouse)
{
    return Editor().Track(view, mouse);
}

int CTlLinearCurve::MouseDown(ITlCurveEditView& view, POINT mouse)
{
    return Editor().MouseDown(view, mouse);
}

int CTlLinearCurve::MouseUp(ITlCurveEditView& view)
{
    return Editor().MouseUp(view);
}

int CTlLinearCurve::InsertPoint()
{
    return Editor().InsertPoint();
}

int CTlLinearCurve::DeletePoint()
{
    return Editor().DeletePoint();
}

int CTlLinearCurve::SelectNext()
{
    return Editor().Select(+1);
}

int CTlLinearCurve::SelectPrevious()
{
    return Editor().Select(-1);
}

int CTlLinearCurve::ValueUp(ITlCurveEditView& view)
{
    return Editor().NudgeValue(view.curveVerticalStep);
}

int CTlLinearCurve::ValueDown(ITlCurveEditView& view)
{
    return Editor().NudgeValue(-view.curveVerticalStep);
}

int CTlLinearCurve::PositionLeft(ITlCurveEditView& view)
{
    return Editor().NudgePosition(-view.curveHorizontalStep);
}

int CTlLinearCurve::PositionRight(ITlCurveEditView& view)
{
    return Editor().NudgePosition(view.curveHorizontalStep);
}

int CTlLinearCurve::SecondaryDown(ITlCurveEditView& view)
{
    return Editor().NudgeWidth(-view.curveHorizontalStep);
}

int CTlLinearCurve::SecondaryUp(ITlCurveEditView& view)
{
    return Editor().NudgeWidth(view.curveHorizontalStep);
}

int CTlLinearCurve::TertiaryDown(ITlCurveEditView& view)
{
    return SecondaryDown(view);
}

int CTlLinearCurve::TertiaryUp(ITlCurveEditView& view)
{
    return SecondaryUp(view);
}

int CTlLinearCurve::OffsetUp(ITlCurveEditView& view)
{
    return Editor().NudgeOffset(view.curveVerticalStep);
}

int CTlLinearCurve::OffsetDown(ITlCurveEditView& view)
{
    return Editor().NudgeOffset(-view.curveVerticalStep);
}

int CTlLinearCurve::SetScale(ITlCurveEditView&, int)
{
    // Back to the unzoomed view; the curve itself is as it was.
    m_multiplier = 1;
    m_changed = 0;
    return kTlHitToggle;
}
