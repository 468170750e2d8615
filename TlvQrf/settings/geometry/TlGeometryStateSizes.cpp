// Sizes read from the step, and the change flags the owner queries.
#include "settings/geometry/TlGeometryState.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::uint32_t kCropSizeBits = kTlGeomCropWidth | kTlGeomCropHeight;
constexpr std::uint32_t kOutputSizeBits = kTlGeomOutputWidth | kTlGeomOutputHeight;
constexpr std::uint32_t kCropBits = kTlGeomCropOrigin | kCropSizeBits;
// Every change bit except the scale range, which only the step resets.
constexpr std::uint32_t kClearedBits = kTlGeomAllChanges & ~kTlGeomScaleRange;

void PutPair(double* width, double* height, double w, double h)
{
    if (width != nullptr)
        *width = w;
    if (height != nullptr)
        *height = h;
}

} // namespace

double CTlGeometryState::GetOutputArea() const
{
    if (m_step == nullptr)
        return 1;
    return std::max(1.0, m_step->GetOutputWidth()) * std::max(1.0, m_step->GetOutputHeight());
}

int CTlGeometryState::GetCropSize(double* width, double* height) const
{
    const CTlDblRect crop = m_step != nullptr ? m_step->GetCropRect() : CTlDblRect();
    PutPair(width, height, crop.Width(), crop.Height());
    return 0;
}

int CTlGeometryState::GetCropPixelSize(int* width, int* height) const
{
    const CTlDblRect crop = m_step != nullptr ? m_step->GetCropRect() : CTlDblRect();
    if (width != nullptr)
        *width = static_cast<int>(std::floor(crop.Width() + 1e-15));
    if (height != nullptr)
        *height = static_cast<int>(std::floor(crop.Height() + 1e-15));
    return 0;
}

int CTlGeometryState::GetLimitSize(double* width, double* height) const
{
    const CTlDblRect limit = m_step != nullptr ? m_step->GetLimitRect() : CTlDblRect();
    PutPair(width, height, limit.Width(), limit.Height());
    return 0;
}

int CTlGeometryState::SetPrintResolution(const CTlMeasure& resolution, bool keepPixelSize)
{
    if (m_step == nullptr)
        return 1;
    const bool pixelMode = m_step->IsPixelSizeMode();
    if (keepPixelSize)
        m_step->SetPixelSizeMode(true);
    const int result = m_step->SetPrintResolution(resolution);
    m_step->SetPixelSizeMode(pixelMode);
    return result;
}

void CTlGeometryState::ClearChanges()
{
    if (m_step != nullptr)
        m_step->ClearChangeFlags(kClearedBits);
}

bool CTlGeometryState::AnyChange(std::uint32_t bits) const
{
    return m_step != nullptr && (m_step->GetChangeFlags() & bits) != 0;
}

bool CTlGeometryState::IsChanged() const
{
    return AnyChange(kTlGeomAllChanges);
}

bool CTlGeometryState::IsCropChanged() const
{
    return AnyChange(kCropBits);
}

bool CTlGeometryState::IsSizeChanged() const
{
    return AnyChange(kCropSizeBits | kOutputSizeBits | kTlGeomScale);
}
