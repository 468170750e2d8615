// Editing slots: not yet interactive; each reports that nothing changed.
#include "settings/curves/TlLut.h"

int CTlLut::Track(ITlCurveEditView&, POINT)
{
    return kTlHitNone;
}

int CTlLut::MouseDown(ITlCurveEditView&, POINT)
{
    return kTlHitNone;
}

int CTlLut::MouseUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLut::InsertPoint()
{
    return kTlHitNone;
}

int CTlLut::DeletePoint()
{
    return kTlHitNone;
}

int CTlLut::SelectNext()
{
    return kTlHitNone;
}

int CTlLut::SelectPrevious()
{
    return kTlHitNone;
}

int CTlLut::ValueUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLut::ValueDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLut::PositionLeft(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLut::PositionRight(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLut::SecondaryDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLut::SecondaryUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLut::TertiaryDown(ITlCurveEditView&)
{
    return kTlHitNone;
}

int CTlLut::TertiaryUp(ITlCurveEditView&)
{
    return kTlHitNone;
}

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
