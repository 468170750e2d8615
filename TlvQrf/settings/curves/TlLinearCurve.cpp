// Placeholder bodies; the real element arrives with its stored form.
#include "settings/curves/TlLinearCurve.h"

#include "settings/record/TlStateIds.h"

CTlLinearCurve::CTlLinearCurve(CTlLutGroup* owner, int elementId) : CTlCurveBase(owner, elementId, -1) {}

CTlLinearCurve::CTlLinearCurve(const CTlLinearCurve& other) = default;

CTlLinearCurve::~CTlLinearCurve() = default;

int CTlLinearCurve::Save(unsigned char* buffer, int size)
{
    return CTlCurveBase::Save(buffer, size);
}

int CTlLinearCurve::Load(const unsigned char* buffer, int size)
{
    return CTlCurveBase::Load(buffer, size);
}

const TlGuid* CTlLinearCurve::GetID() const
{
    return &kTlIdLinearCurve;
}

int CTlLinearCurve::GetCount() const
{
    return 0;
}

int CTlLinearCurve::GetModifiedFlags(int) const
{
    return 0;
}

int CTlLinearCurve::Reset(bool, bool)
{
    return 1;
}

bool CTlLinearCurve::Compare(const CTlLinearCurve&) const
{
    return true;
}

void CTlLinearCurve::CopyCalibrationFrom(const CTlLinearCurve&) {}
