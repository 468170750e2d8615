// Operations the record hands to its step unchanged; only the size setters
// add the pixel-size mode sync the record owns.
#include "settings/geometry/TlGeometryState.h"

namespace {

constexpr int kNoStep = 1;

} // namespace

int CTlGeometryState::SaveReference()
{
    return m_step != nullptr ? m_step->SaveReference() : kNoStep;
}

int CTlGeometryState::PlaceCropRect(const CTlDblRect& rect, int flags)
{
    return m_step != nullptr ? m_step->PlaceCropRect(rect, flags) : kNoStep;
}

int CTlGeometryState::SetCropRect(const CTlDblRect& rect, int flags)
{
    return m_step != nullptr ? m_step->SetCropRect(rect, flags) : kNoStep;
}

int CTlGeometryState::SetCropSize(double width, double height, int flags)
{
    return m_step != nullptr ? m_step->SetCropSize(width, height, flags) : kNoStep;
}

int CTlGeometryState::MoveCropTo(double x, double y)
{
    return m_step != nullptr ? m_step->MoveCropTo(x, y) : kNoStep;
}

int CTlGeometryState::SetLimitRect(const CTlDblRect& rect)
{
    return m_step != nullptr ? m_step->SetLimitRect(rect) : kNoStep;
}

int CTlGeometryState::SetLimitSize(double width, double height)
{
    return m_step != nullptr ? m_step->SetLimitSize(width, height) : kNoStep;
}

int CTlGeometryState::SetPrintWidth(const CTlMeasure& width)
{
    const int result = m_step != nullptr ? m_step->SetPrintWidth(width) : kNoStep;
    SyncPixelSizeMode();
    return result;
}

int CTlGeometryState::SetPrintHeight(const CTlMeasure& height)
{
    const int result = m_step != nullptr ? m_step->SetPrintHeight(height) : kNoStep;
    SyncPixelSizeMode();
    return result;
}

int CTlGeometryState::SetResolution(const CTlMeasure& resolution)
{
    return m_step != nullptr ? m_step->SetResolution(resolution) : kNoStep;
}

int CTlGeometryState::SetScale(double scale)
{
    return m_step != nullptr ? m_step->SetScale(scale) : kNoStep;
}

int CTlGeometryState::SetOutputWidth(double width)
{
    const int result = m_step != nullptr ? m_step->SetOutputWidth(width) : kNoStep;
    SyncPixelSizeMode();
    return result;
}

int CTlGeometryState::SetOutputHeight(double height)
{
    const int result = m_step != nullptr ? m_step->SetOutputHeight(height) : kNoStep;
    SyncPixelSizeMode();
    return result;
}

int CTlGeometryState::SetOutputArea(double area)
{
    return m_step != nullptr ? m_step->SetOutputArea(area) : kNoStep;
}

void CTlGeometryState::GetCropRect(CTlDblRect& out) const
{
    out = m_step != nullptr ? m_step->GetCropRect() : CTlDblRect();
}

void CTlGeometryState::GetLimitRect(CTlDblRect& out) const
{
    out = m_step != nullptr ? m_step->GetLimitRect() : CTlDblRect();
}

double CTlGeometryState::GetImageWidth() const
{
    return m_step != nullptr ? m_step->GetImageWidth() : 0;
}

double CTlGeometryState::GetImageHeight() const
{
    return m_step != nullptr ? m_step->GetImageHeight() : 0;
}

double CTlGeometryState::GetScale() const
{
    return m_step != nullptr ? m_step->GetScale() : 0;
}
