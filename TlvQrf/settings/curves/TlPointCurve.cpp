// Placeholder bodies; the real element arrives with its stored form.
#include "settings/curves/TlPointCurve.h"

#include "settings/record/TlStateIds.h"

CTlPointCurve::CTlPointCurve(CTlLutGroup* owner, int elementId) : CTlCurveBase(owner, elementId, -1) {}

CTlPointCurve::CTlPointCurve(const CTlPointCurve& other) = default;

CTlPointCurve::~CTlPointCurve() = default;

int CTlPointCurve::Save(unsigned char* buffer, int size)
{
    return CTlCurveBase::Save(buffer, size);
}

int CTlPointCurve::Load(const unsigned char* buffer, int size)
{
    return CTlCurveBase::Load(buffer, size);
}

const TlGuid* CTlPointCurve::GetID() const
{
    return &kTlIdPointCurve;
}

int CTlPointCurve::GetCount() const
{
    return 0;
}

int CTlPointCurve::GetModifiedFlags(int) const
{
    return 0;
}

int CTlPointCurve::Reset(bool, bool)
{
    return 1;
}

bool CTlPointCurve::Compare(const CTlPointCurve&) const
{
    return true;
}
