// Whole-pixel output rectangles and scale factors derived from the step.
#include "settings/geometry/TlGeometryState.h"

#include <algorithm>
#include <cmath>

namespace {

// A tiny bias so values a rounding error below a whole number floor up to it.
double WholePixels(double value)
{
    return std::floor(value + 1e-15);
}

double AtLeastOne(double value)
{
    return value < 1 ? 1 : std::trunc(value);
}

} // namespace

void CTlGeometryState::GetBoundsRect(CTlDblRect& out) const
{
    out = m_step != nullptr ? CTlDblRect(0, 0, m_step->GetImageHeight(), m_step->GetImageWidth()) : CTlDblRect();
}

double CTlGeometryState::GetOutputWidth() const
{
    return AtLeastOne(m_step != nullptr ? m_step->GetOutputWidth() : 0);
}

double CTlGeometryState::GetOutputHeight() const
{
    return AtLeastOne(m_step != nullptr ? m_step->GetOutputHeight() : 0);
}

void CTlGeometryState::WholeRect(const CTlDblRect& c, CTlDblRect& out, bool oriented) const
{
    CTlDblRect image;
    GetImageOutputRect(image, true);
    const double w = std::min(std::max(WholePixels(c.Width()), 1.0), image.right);
    const double h = std::min(std::max(WholePixels(c.Height()), 1.0), image.bottom);
    const double x = std::min(WholePixels(c.left), image.right - w);
    const double y = std::min(WholePixels(c.top), image.bottom - h);
    out = CTlDblRect(y, x, y + h, x + w);
    if (!oriented)
        FromOriented(out, image);
}

void CTlGeometryState::GetOutputRect(CTlDblRect& out, bool oriented) const
{
    WholeRect(m_step != nullptr ? m_step->GetCropRect() : CTlDblRect(), out, oriented);
}

void CTlGeometryState::GetLimitOutputRect(CTlDblRect& out, bool oriented) const
{
    WholeRect(m_step != nullptr ? m_step->GetLimitRect() : CTlDblRect(), out, oriented);
}

void CTlGeometryState::GetImageOutputRect(CTlDblRect& out, bool oriented) const
{
    CTlDblRect bounds;
    GetBoundsRect(bounds);
    out = CTlDblRect(0, 0, WholePixels(bounds.bottom), WholePixels(bounds.right));
    if (!oriented) {
        const CTlDblRect image = out;
        FromOriented(out, image);
    }
}

void CTlGeometryState::GetScaledOutputRect(CTlRect& out, bool oriented) const
{
    CTlDblRect r;
    GetOutputRect(r, oriented);
    const double f = m_step != nullptr ? m_step->GetScale() / m_step->GetMaxScale() : 1;
    out = CTlRect(static_cast<int>(r.top * f), static_cast<int>(r.left * f), static_cast<int>(r.bottom * f),
                  static_cast<int>(r.right * f));
}

double CTlGeometryState::GetSourceScaleFactor() const
{
    if (m_step == nullptr)
        return 1;
    return m_step->GetResolution().value / m_step->GetSourceResolution().value * 2;
}

bool CTlGeometryState::IsUncropped() const
{
    CTlDblRect output;
    CTlDblRect limit;
    GetOutputRect(output, true);
    GetLimitOutputRect(limit, true);
    return output == limit && GetSourceScaleFactor() == 1;
}
