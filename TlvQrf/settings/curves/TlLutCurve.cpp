#include "settings/curves/TlLutCurve.h"

#include <cmath>

double TlLimitUnit(double value)
{
    if (!(value > 0.0))
        return 0.0; // also NaN
    return value < 1.0 ? value : 1.0;
}

TlLutPoint TlLutKnot(double x, double y)
{
    return TlLutPoint{x, y, {0.0, 0.0, 0.0}, 0.0};
}

bool TlIsIdentityPair(const std::vector<TlLutPoint>& points)
{
    return points.size() == 2 && points[0].x == 0.0 && points[0].y == 0.0 && points[1].x == 1.0 &&
           points[1].y == 1.0;
}

void TlSetIdentityPair(std::vector<TlLutPoint>& points)
{
    points.assign({TlLutKnot(0.0, 0.0), TlLutKnot(1.0, 1.0)});
}

double TlLutLevelPosition(double value, double black, double white)
{
    const double span = white - black;
    if (span == 0.0)
        return value <= black ? 0.0 : 1.0;
    return (value - black) / span;
}

CTlLutCurveWalker::CTlLutCurveWalker(const TlLutParams& block, bool usePoints, bool applyGamma)
    : m_identity{TlLutKnot(0.0, 0.0), TlLutKnot(1.0, 1.0)},
      m_points(m_identity),
      m_last(1),
      m_gamma(block.gamma),
      m_gammaOn(applyGamma && block.gamma != 1.0 && block.gamma > 0.0)
{
    // A list of fewer than two points cannot describe a curve; the
    // identity pair stands in for it.
    if (usePoints && block.points.size() >= 2) {
        m_points = block.points.data();
        m_last = static_cast<int>(block.points.size()) - 1;
    }
}

double CTlLutCurveWalker::ValueAt(double t)
{
    const TlLutPoint& first = m_points[0];
    const TlLutPoint& last = m_points[m_last];
    if (t <= first.x)
        return first.y;
    if (t >= last.x)
        return last.y;
    // Strictly inside the span, so last.x > first.x here.
    const double u = (t - first.x) / (last.x - first.x);
    double value = m_last == 1 ? first.y + u * (last.y - first.y) : SplineValue(t);
    if (m_gammaOn)
        value += std::pow(u, 1.0 / m_gamma) - u;
    return value;
}

double CTlLutCurveWalker::SplineValue(double t)
{
    while (m_segment < m_last - 1 && t >= m_points[m_segment + 1].x)
        ++m_segment;
    while (m_segment > 0 && t < m_points[m_segment].x)
        --m_segment;
    const TlLutPoint& left = m_points[m_segment];
    const TlLutPoint& right = m_points[m_segment + 1];
    const double h = right.x - left.x;
    if (!(h > 0.0))
        return left.y; // points out of order: no segment holds t
    const double a = (t - left.x) / h;
    const double b = 1.0 - a;
    return left.y * (1.0 + 2.0 * a) * b * b + h * left.slope * a * b * b + right.y * (3.0 - 2.0 * a) * a * a -
           h * right.slope * b * a * a;
}
