// Editing slots: not yet interactive; each reports that nothing changed.
#include "settings/curves/TlLinearCurve.h"

int CTlLinearCurve::Track(ITlCurveEditView&, POINT)
{
    return kTlHitNone;
}

int CTlLinearCurve::MouseDown(ITlCurveEditView&, POINT)
{
    return kTlHitNone;
}

int CTlLinearCurve::MouseUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLinearCurve::InsertPoint()
{
    return kTlHitNone;
}

int CTlLinearCurve::DeletePoint()
{
    return kTlHitNone;
}

int CTlLinearCurve::SelectNext()
{
    return kTlHitNone;
}

int CTlLinearCurve::SelectPrevious()
{
    return kTlHitNone;
}

int CTlLinearCurve::ValueUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLinearCurve::ValueDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLinearCurve::PositionLeft(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLinearCurve::PositionRight(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLinearCurve::SecondaryDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLinearCurve::SecondaryUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLinearCurve::TertiaryDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLinearCurve::TertiaryUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLinearCurve::OffsetUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLinearCurve::OffsetDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLinearCurve::SetScale(ITlCurveEditView&, int)
{
    return kTlHitNone;
}
