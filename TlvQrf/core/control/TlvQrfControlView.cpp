// Rotation, scale, sizes and profiles of the view: each setter changes the
// settings holder's geometry and runs one Update.
#include "control/TlvQrfControl.h"

#include "control/TlControlCodes.h"
#include "control/TlControlState.h"
#include "filtrix/KelvraFilterTransform.h"
#include "params/TlvParamSet.h"
#include "raw/TlRawFormat.h"

#include <memory>

namespace {

constexpr std::uint32_t kRotationChanges = ITlvQrfData::eRotation | ITlvQrfData::eGeometry;

} // namespace

// The holder keeps the angle in 16 bits: a turn is kept as 0 to 359 degrees.
void CTlvQrfControl::StoreOrientation(bool mirror, int degrees)
{
    flip = mirror ? 1 : 0;
    angle = static_cast<std::uint16_t>(((degrees % 360) + 360) % 360);
}

int TLV_CALL CTlvQrfControl::GetRotation()
{
    TL_CONTROL_STATE();
    return angle;
}

unsigned long TLV_CALL CTlvQrfControl::SetRotation(int degrees)
{
    TL_CONTROL_STATE();
    StoreOrientation(flip != 0, degrees);
    return Update(ITlvQrfData::eRotation, false, nullptr);
}

unsigned long TLV_CALL CTlvQrfControl::RotateCW()
{
    TL_CONTROL_STATE();
    bool mirror = flip != 0;
    double degrees = angle;
    CKelvraFilterTransform::DoStateTransform(mirror, degrees, false, 90, true);
    StoreOrientation(mirror, static_cast<int>(degrees));
    return Update(kRotationChanges, false, nullptr);
}

unsigned long TLV_CALL CTlvQrfControl::RotateCCW()
{
    TL_CONTROL_STATE();
    bool mirror = flip != 0;
    double degrees = angle;
    CKelvraFilterTransform::DoStateTransform(mirror, degrees, false, -90, true);
    StoreOrientation(mirror, static_cast<int>(degrees));
    return Update(kRotationChanges, false, nullptr);
}

double TLV_CALL CTlvQrfControl::GetScale()
{
    TL_CONTROL_STATE();
    return geometry.GetScale();
}

unsigned long TLV_CALL CTlvQrfControl::SetScale(double scale)
{
    TL_CONTROL_STATE();
    if (geometry.SetScale(scale) != 0)
        return kTlResultBadScale;
    return Update(ITlvQrfData::eGeometry, false, nullptr);
}

unsigned long TLV_CALL CTlvQrfControl::GetSize(long* width, long* height)
{
    TL_CONTROL_STATE();
    if (width == nullptr || height == nullptr)
        return kTlResultFailed;
    std::unique_ptr<CTlvParamSet> params(CreateParamSet());
    std::uint32_t w = 0;
    std::uint32_t h = 0;
    if (!params || !GetOutputSize(params->image, params->RawDevelopment(), false, nullptr, w, h))
        return kTlResultFailed;
    *width = static_cast<long>(w);
    *height = static_cast<long>(h);
    return kTlResultOk;
}

unsigned long TLV_CALL CTlvQrfControl::SetSize(unsigned long /*width*/, unsigned long /*height*/)
{
    TL_CONTROL_STATE();
    return kTlResultFailed;
}

unsigned long TLV_CALL CTlvQrfControl::GetProfile()
{
    TL_CONTROL_STATE();
    return kTlResultFailed;
}

unsigned long TLV_CALL CTlvQrfControl::SetProfile(unsigned long /*profile*/)
{
    TL_CONTROL_STATE();
    return kTlResultFailed;
}

unsigned long TLV_CALL CTlvQrfControl::SetMonitorProfile(KelvraFile& file)
{
    TL_CONTROL_STATE();
    if (m_chain != nullptr)
        m_chain->SetMonitorProfile(file);
    return kTlResultOk;
}

// In developed pixels, as the preview shows the picture.
unsigned long TLV_CALL CTlvQrfControl::GetUserSize(unsigned long& width, unsigned long& height)
{
    TL_CONTROL_STATE();
    if (m_chain == nullptr)
        return kTlResultFailed;
    if (m_chain->GetSizeMode() == 0 && OutputCropped(false)) {
        double cropWidth = 0;
        double cropHeight = 0;
        geometry.GetCropSize(&cropWidth, &cropHeight);
        const double pixelScale = geometry.GetSourceScaleFactor();
        const STlFrameRatio ratio = DevelopedPerFramePixel(geometry);
        width = static_cast<unsigned long>(ratio.DevelopedX(static_cast<long>(cropWidth) * pixelScale * 0.5));
        height = static_cast<unsigned long>(ratio.DevelopedY(static_cast<long>(cropHeight) * pixelScale * 0.5));
        return kTlResultOk;
    }
    std::uint32_t w = 0;
    std::uint32_t h = 0;
    GetDevelopedOutput(geometry, w, h);
    width = w;
    height = h;
    return kTlResultOk;
}
