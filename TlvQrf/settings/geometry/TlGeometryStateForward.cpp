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

int CTlGeometryState::PlaceCropRect(double left, double top, double right, double bottom, int flags)
{
    return m_step != nullptr ? m_step->PlaceCropRect(left, top, right, bottom, flags) : kNoStep;
}

int CTlGeometryState::SetCropRect(double left, double top, double right, double bottom, int flags)
{
    return m_step != nullptr ? m_step->SetCropRect(left, top, right, bottom, flags) : kNoStep;
}

int CTlGeometryState::SetMinResolution(const CTlMeasure& resolution)
{
    return m_step != nullptr ? m_step->SetMinResolution(resolution) : kNoStep;
}

int CTlGeometryState::SetSourceResolution(const CTlMeasure& resolution)
{
    return m_step != nullptr ? m_step->SetSourceResolution(resolution) : kNoStep;
}

bool CTlGeometryState::ClampOutputWidth(double& width)
{
    return m_step != nullptr && m_step->ClampOutputWidth(width);
}

bool CTlGeometryState::ClampOutputHeight(double& height)
{
    return m_step != nullptr && m_step->ClampOutputHeight(height);
}

double CTlGeometryState::GetMinScale() const
{
    return m_step != nullptr ? m_step->GetMinScale() : 0;
}

double CTlGeometryState::GetMaxScale() const
{
    return m_step != nullptr ? m_step->GetMaxScale() : 0;
}

void CTlGeometryState::GetPrintWidth(CTlMeasure& out) const
{
    if (m_step != nullptr)
        out = m_step->GetPrintWidth();
}

void CTlGeometryState::GetPrintHeight(CTlMeasure& out) const
{
    if (m_step != nullptr)
        out = m_step->GetPrintHeight();
}

const CTlMeasure* CTlGeometryState::GetResolution() const
{
    return m_step != nullptr ? &m_step->GetResolution() : nullptr;
}

const CTlMeasure* CTlGeometryState::GetMinResolution() const
{
    return m_step != nullptr ? &m_step->GetMinResolution() : nullptr;
}

const CTlMeasure* CTlGeometryState::GetSourceResolution() const
{
    return m_step != nullptr ? &m_step->GetSourceResolution() : nullptr;
}

const CTlMeasure* CTlGeometryState::GetPrintResolution() const
{
    return m_step != nullptr ? &m_step->GetPrintResolution() : nullptr;
}
