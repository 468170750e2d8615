// The slopes of the natural cubic spline through the points: first
// estimates from the neighbouring secants, then the tridiagonal system with
// a unit diagonal, solved by forward elimination and back substitution. The
// points' three working values hold the estimate and the eliminated upper
// coefficient and right side, so no memory is needed.
#include "settings/curves/TlLutCurve.h"

#include <cstddef>

static_assert(sizeof(TlLutPoint) == 48, "a point record is six doubles");

namespace {

enum { kEstimate = 0, kUpper = 1, kRight = 2 };

bool StrictlyAscending(const std::vector<TlLutPoint>& points)
{
    for (std::size_t k = 0; k + 1 < points.size(); ++k) {
        if (!(points[k + 1].x > points[k].x))
            return false;
    }
    return true;
}

double Width(const std::vector<TlLutPoint>& p, std::size_t k)
{
    return p[k + 1].x - p[k].x;
}

double Secant(const std::vector<TlLutPoint>& p, std::size_t k)
{
    return (p[k + 1].y - p[k].y) / Width(p, k);
}

void EstimateSlopes(std::vector<TlLutPoint>& p)
{
    const std::size_t last = p.size() - 1;
    for (std::size_t k = 1; k < last; ++k) {
        p[k].work[kEstimate] = (Secant(p, k - 1) * Width(p, k) + Secant(p, k) * Width(p, k - 1)) /
                               (Width(p, k - 1) + Width(p, k));
    }
    p[last].work[kEstimate] = 2.0 * Secant(p, last - 1) - p[last - 1].work[kEstimate];
    p[0].work[kEstimate] = 2.0 * Secant(p, 0) - p[1].work[kEstimate];
}

void SolveSlopes(std::vector<TlLutPoint>& p)
{
    const std::size_t last = p.size() - 1;
    p[0].work[kUpper] = 0.5;
    p[0].work[kRight] = 0.75 * (p[0].work[kEstimate] + p[1].work[kEstimate]);
    for (std::size_t k = 1; k <= last; ++k) {
        double lower = 0.5;
        double upper = 0.0;
        double right = 0.75 * (p[last - 1].work[kEstimate] + p[last].work[kEstimate]);
        if (k < last) {
            const double span = 2.0 * (p[k + 1].x - p[k - 1].x);
            lower = Width(p, k) / span;
            upper = Width(p, k - 1) / span;
            right = 1.5 * p[k].work[kEstimate];
        }
        // lower and upper lie in (0, 0.5): the diagonal dominates.
        const double pivot = 1.0 - lower * p[k - 1].work[kUpper];
        p[k].work[kUpper] = upper / pivot;
        p[k].work[kRight] = (right - lower * p[k - 1].work[kRight]) / pivot;
    }
    p[last].slope = p[last].work[kRight];
    for (std::size_t k = last; k > 0; --k)
        p[k - 1].slope = p[k - 1].work[kRight] - p[k - 1].work[kUpper] * p[k].slope;
}

} // namespace

void TlRefreshLutSlopes(TlLutParams& block)
{
    std::vector<TlLutPoint>& points = block.points;
    if (block.slopesStale == 0 || points.size() == 2)
        return;
    if (points.size() > 2) {
        if (StrictlyAscending(points)) {
            EstimateSlopes(points);
            SolveSlopes(points);
        } else {
            // Stored data out of order has no spline; flat tangents keep
            // the curve finite and through its points.
            for (TlLutPoint& point : points)
                point.slope = 0.0;
        }
    }
    block.slopesStale = 0;
}
