// Editing slots: not yet interactive; each reports that nothing changed.
#include "settings/curves/TlPointCurve.h"

int CTlPointCurve::Track(ITlCurveEditView&, POINT)
{
    return kTlHitNone;
}

int CTlPointCurve::MouseDown(ITlCurveEditView&, POINT)
{
    return kTlHitNone;
}

int CTlPointCurve::MouseUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlPointCurve::InsertPoint()
{
    return kTlHitNone;
}

int CTlPointCurve::DeletePoint()
{
    return kTlHitNone;
}

int CTlPointCurve::SelectNext()
{
    return kTlHitNone;
}

int CTlPointCurve::SelectPrevious()
{
    return kTlHitNone;
}

int CTlPointCurve::ValueUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlPointCurve::ValueDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlPointCurve::PositionLeft(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlPointCurve::PositionRight(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlPointCurve::SecondaryDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlPointCurve::SecondaryUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlPointCurve::TertiaryDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlPointCurve::TertiaryUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlPointCurve::OffsetUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlPointCurve::OffsetDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlPointCurve::SetScale(ITlCurveEditView&, int)
{
    return kTlHitNone;
}
