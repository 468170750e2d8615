// The one-bit change tests and the step's capability answers, as the record
// hands them on.
#include "settings/geometry/TlGeometryState.h"

bool CTlGeometryState::IsCropOriginChanged() const { return AnyChange(kTlGeomCropOrigin); }
bool CTlGeometryState::IsCropWidthChanged() const { return AnyChange(kTlGeomCropWidth); }
bool CTlGeometryState::IsCropHeightChanged() const { return AnyChange(kTlGeomCropHeight); }
bool CTlGeometryState::IsCropSizeChanged() const { return AnyChange(kTlGeomCropWidth | kTlGeomCropHeight); }
bool CTlGeometryState::IsPrintWidthChanged() const { return AnyChange(kTlGeomPrintWidth); }
bool CTlGeometryState::IsPrintHeightChanged() const { return AnyChange(kTlGeomPrintHeight); }
bool CTlGeometryState::IsPrintSizeChanged() const { return AnyChange(kTlGeomPrintWidth | kTlGeomPrintHeight); }
bool CTlGeometryState::IsResolutionChanged() const { return AnyChange(kTlGeomResolution); }
bool CTlGeometryState::IsPrintResolutionChanged() const { return AnyChange(kTlGeomPrintResolution); }
bool CTlGeometryState::IsScaleChanged() const { return AnyChange(kTlGeomScale); }
bool CTlGeometryState::IsScaleRangeChanged() const { return AnyChange(kTlGeomScaleRange); }
bool CTlGeometryState::IsOutputWidthChanged() const { return AnyChange(kTlGeomOutputWidth); }
bool CTlGeometryState::IsOutputHeightChanged() const { return AnyChange(kTlGeomOutputHeight); }
bool CTlGeometryState::IsOutputSizeChanged() const { return AnyChange(kTlGeomOutputWidth | kTlGeomOutputHeight); }
bool CTlGeometryState::IsOutputAreaChanged() const { return AnyChange(kTlGeomOutputArea); }

#define TL_FORWARD_CAPABILITY(n)                                                                             \
    bool CTlGeometryState::CapabilityQuery##n() const                                                    \
    {                                                                                                    \
        return m_step != nullptr && m_step->CapabilityQuery##n();                                        \
    }
TL_FORWARD_CAPABILITY(1)
TL_FORWARD_CAPABILITY(2)
TL_FORWARD_CAPABILITY(3)
TL_FORWARD_CAPABILITY(4)
TL_FORWARD_CAPABILITY(5)
TL_FORWARD_CAPABILITY(6)
TL_FORWARD_CAPABILITY(7)
TL_FORWARD_CAPABILITY(8)
TL_FORWARD_CAPABILITY(9)
TL_FORWARD_CAPABILITY(10)
TL_FORWARD_CAPABILITY(11)
TL_FORWARD_CAPABILITY(12)
TL_FORWARD_CAPABILITY(13)
TL_FORWARD_CAPABILITY(14)
TL_FORWARD_CAPABILITY(15)
TL_FORWARD_CAPABILITY(16)
#undef TL_FORWARD_CAPABILITY

void CTlGeometryState::SetError(int code)
{
    ErrorCode = code;
}

int CTlGeometryState::GetError() const
{
    return ErrorCode;
}

CTlGeometryStep** CTlGeometryState::GetStepHolder()
{
    return &m_step;
}

std::uint16_t CTlGeometryState::GetLoadedVersion() const
{
    return LoadedVersion;
}
