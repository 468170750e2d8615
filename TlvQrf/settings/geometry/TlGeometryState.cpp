// Construction, copying and the step's type.
#include "settings/geometry/TlGeometryState.h"

#include "settings/geometry/TlSnapshotStep.h"
#include "settings/geometry/TlStepFactory.h"

#include <new>

CTlGeometryState::CTlGeometryState()
{
    if (MakeCropStep(&m_step) != kTlStepMade)
        ErrorCode = kTlGeometryNoStep;
    SyncPixelSizeMode();
}

CTlGeometryState::CTlGeometryState(unsigned width, unsigned height, const CTlRect* sourceRect, double resolution)
{
    // Unsigned doubling, as the stored sizes are.
    const unsigned width2 = 2u * width;
    const unsigned height2 = 2u * height;
    m_step = new (std::nothrow) CTlSnapshotStep(width2, height2, CTlMeasure::PixelsPerInch(resolution),
                                                CTlMeasure::PixelsPerInch(1),
                                                CTlMeasure::PixelsPerInch(2 * resolution));
    if (m_step == nullptr || MakeCropStep(&m_step) != kTlStepMade)
        ErrorCode = kTlGeometryNoStep;
    SyncPixelSizeMode();
    if (m_step != nullptr)
        PlaceSized(width2, height2, sourceRect);
    SetError(0);
    if (m_step == nullptr || m_step->GetType() != kTlStepTypeCrop) {
        if (MakeCropStep(&m_step) != kTlStepMade)
            ErrorCode = kTlGeometryNoStep;
        SyncPixelSizeMode();
    }
    SyncPixelSizeMode();
}

void CTlGeometryState::PlaceSized(unsigned width2, unsigned height2, const CTlRect* sourceRect)
{
    const CTlDblRect whole(0, 0, height2, width2);
    m_step->SetLimitRect(whole);
    if (sourceRect == nullptr) {
        m_step->SetCropRect(whole, 0);
        return;
    }
    m_step->SetCropRect(2.0 * sourceRect->GetLeft(), 2.0 * sourceRect->GetTop(), 2.0 * sourceRect->GetRight(),
                        2.0 * sourceRect->GetBottom(), 0);
}

CTlGeometryState::CTlGeometryState(const CTlGeometryState& other) : CTlGeometryState()
{
    *this = other;
}

CTlGeometryState& CTlGeometryState::operator=(const CTlGeometryState& other)
{
    if (&other == this)
        return *this;
    // The copy is made before the own step goes, so a failed allocation
    // keeps this record's geometry.
    CTlGeometryStep* copy = other.m_step != nullptr ? new (std::nothrow) CTlSnapshotStep(*other.m_step) : nullptr;
    if (copy == nullptr) {
        ErrorCode = kTlGeometryNoStep;
        return *this;
    }
    delete m_step;
    m_step = copy;
    SetStepType(other.GetType());
    ErrorCode = other.ErrorCode;
    Mirrored = other.Mirrored;
    Rotation = other.Rotation;
    LoadedVersion = other.LoadedVersion;
    OrientationFlag = other.OrientationFlag;
    return *this;
}

CTlGeometryState::~CTlGeometryState()
{
    delete m_step;
}

std::uint32_t CTlGeometryState::GetType() const
{
    return m_step != nullptr ? m_step->GetType() : kTlStepTypeNone;
}

bool CTlGeometryState::SetStepType(std::uint32_t tag)
{
    SetError(0);
    if (m_step != nullptr && m_step->GetType() == tag)
        return false;
    if (tag == kTlStepTypeCrop) {
        if (MakeCropStep(&m_step) != kTlStepMade)
            ErrorCode = kTlGeometryNoStep;
    } else if (tag == kTlStepTypeSize) {
        if (MakeSizeStep(&m_step) != kTlStepMade)
            ErrorCode = kTlGeometryNoStep;
    } else {
        ErrorCode = kTlGeometryUnknownStep;
    }
    SyncPixelSizeMode();
    return ErrorCode != 0;
}

void CTlGeometryState::SyncPixelSizeMode()
{
    if (m_step != nullptr)
        m_step->SetPixelSizeMode(m_step->GetType() == kTlStepTypeSize);
}

int CTlGeometryState::ResetToFullImage(const CTlMeasure& resolution)
{
    if (m_step == nullptr)
        return 1;
    const std::uint32_t type = GetType();
    const bool pixelMode = m_step->IsPixelSizeMode();
    SetStepType(kTlStepTypeCrop);
    CTlDblRect r;
    GetBoundsRect(r);
    m_step->SetLimitRect(r);
    m_step->SetCropRect(r, 0);
    m_step->SetOutputWidth(r.Width() / 2);
    m_step->SetScale(1);
    m_step->SetResolution(resolution);
    SetPrintResolution(resolution, false);
    m_step->SetScale(1);
    SetStepType(type);
    return m_step->SetPixelSizeMode(pixelMode);
}

int CTlGeometryState::ResizeToImage(int width, int height)
{
    if (m_step == nullptr)
        return 1;
    const unsigned width2 = 2u * static_cast<unsigned>(width);
    const unsigned height2 = 2u * static_cast<unsigned>(height);
    return m_step->Rescale(width2, height2, CTlMeasure::PixelsPerInch(1), CTlMeasure::PixelsPerInch(600));
}
