#include "filters/fisheye/TlFisheyeGeometry.h"

#include <algorithm>
#include <cmath>

CTlFisheyeGeometry::CTlFisheyeGeometry(long width, long height, const double* curve)
    : m_width(width), m_height(height), m_cx(width / 2), m_cy(height / 2),
      m_radius(std::sqrt(double(height * height / 4 + width * width / 4))), m_curve(curve)
{
}

double CTlFisheyeGeometry::CurveAt(double u) const
{
    // The last segment (entries 4094 and 4095) carries on past the end, so
    // that corners of odd sizes and points outside the image have a value.
    const int i = std::min(int(std::floor(u)), kCurveEntries - 2);
    const double t = u - i;
    return m_curve[i] * (1.0 - t) + m_curve[i + 1] * t;
}

void CTlFisheyeGeometry::MapPoint(double* x, double* y) const
{
    const double dx = *x - double(m_cx);
    const double dy = *y - double(m_cy);
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r == 0.0 || m_radius == 0.0) {
        *x = double(m_cx);
        *y = double(m_cy);
        return;
    }
    const double u = r / m_radius * (kCurveEntries - 1);
    const double m = CurveAt(u) * m_radius / r;
    *x = double(m_cx) + dx * m;
    *y = double(m_cy) + dy * m;
}

void CTlFisheyeGeometry::ClampPoint(double* x, double* y) const
{
    *x = std::clamp(*x, 0.0, double(m_width));
    *y = std::clamp(*y, 0.0, double(m_height));
}

double CTlFisheyeGeometry::LowEdge(double value, long size) const
{
    if (value < 0.0)
        return 0.0;
    if (value > double(size))
        return double(size);
    return std::floor(value);
}

double CTlFisheyeGeometry::HighEdge(double value, long size) const
{
    if (value < 0.0)
        return 0.0;
    if (value >= double(size))
        return double(size);
    return std::floor(value) + 1.0;
}

KelvraDblRect CTlFisheyeGeometry::MapRect(const KelvraDblRect& rect) const
{
    auto mapped = [this](double x, double y) {
        MapPoint(&x, &y);
        return KelvraDblRect(x, y, x, y);
    };
    const KelvraDblRect topLeft = mapped(rect.left, rect.top);
    const KelvraDblRect topRight = mapped(rect.right, rect.top);
    const KelvraDblRect bottomLeft = mapped(rect.left, rect.bottom);
    const KelvraDblRect bottomRight = mapped(rect.right, rect.bottom);
    KelvraDblRect result(LowEdge(std::min(topLeft.left, bottomLeft.left), m_width),
                         LowEdge(std::min(topLeft.top, topRight.top), m_height),
                         HighEdge(std::max(topRight.right, bottomRight.right), m_width),
                         HighEdge(std::max(bottomLeft.bottom, bottomRight.bottom), m_height));
    // An edge that crosses a centre line bulges furthest there.
    const double cx = double(m_cx);
    const double cy = double(m_cy);
    if (rect.left < cx && cx < rect.right) {
        result.top = std::min(result.top, LowEdge(mapped(cx, rect.top).top, m_height));
        result.bottom = std::max(result.bottom, HighEdge(mapped(cx, rect.bottom).bottom, m_height));
    }
    if (rect.top < cy && cy < rect.bottom) {
        result.left = std::min(result.left, LowEdge(mapped(rect.left, cy).left, m_width));
        result.right = std::max(result.right, HighEdge(mapped(rect.right, cy).right, m_width));
    }
    return result;
}
