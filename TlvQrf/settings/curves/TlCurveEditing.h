// The editing rules every curve element shares, over any point type with an
// x member (bump points and tone-curve points): the hover search, moving a
// point past its neighbours while keeping the minimum spacings, key nudges
// that jump over neighbours, and safe insertion. The plots are measured in
// pixels; these helpers keep every division well defined for degenerate
// plots.
#pragma once

#include "settings/curves/TlCurveEditView.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace TlCurveEditing {
// A point never comes closer than this to a neighbour...
constexpr double kMinSpacing = 0.01;
// ...and never settles into a gap narrower than this.
constexpr double kMinGap = 0.02;
// A dragged point is dropped when the mouse goes this far outside the plot.
constexpr int kDropMargin = 20;
} // namespace TlCurveEditing

// A pixel length used as a divisor: plots of no size still divide.
inline double TlPixelDivisor(int pixels)
{
    return pixels > 0 ? pixels : 1;
}

// True when the mouse is more than the drop margin outside the rectangle.
bool TlIsFarOutside(const RECT& plot, POINT mouse);

// The point nearest to u in x (the first of equals) and how far it is; index
// -1 with no points.
struct TlNearestPoint {
    int index;
    double distance;
};

template <class TPoint>
TlNearestPoint TlFindNearestPoint(const std::vector<TPoint>& points, double u)
{
    TlNearestPoint nearest{-1, 2.0};
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double distance = std::fabs(points[i].x - u);
        if (distance < nearest.distance)
            nearest = {static_cast<int>(i), distance};
    }
    return nearest;
}

// What hovering at that distance finds: the current point, another point
// within the pick width, or the plot.
int TlHoverCode(const TlNearestPoint& nearest, int currentPoint, double pickWidth);

// The current point after stepping by `step`, kept inside the list; -1 when
// the list is empty.
int TlSteppedIndex(int current, int count, int step);

inline bool TlHasPoint(int index, std::size_t count)
{
    return index >= 0 && static_cast<std::size_t>(index) < count;
}

// Moves element `from` to position `to`, shifting the ones between.
template <class TPoint>
void TlMovePointIndex(std::vector<TPoint>& points, int from, int to)
{
    const auto first = points.begin();
    if (to < from)
        std::rotate(first + to, first + from, first + from + 1);
    else if (to > from)
        std::rotate(first + from, first + from + 1, first + to + 1);
}

// Drags point `current` to x = u: it passes a neighbour only when u is more
// than the minimum spacing beyond it, never settles into a gap narrower than
// the minimum gap, and ends at least the minimum spacing from both
// neighbours. Returns its new index.
template <class TPoint>
int TlDragPointTo(std::vector<TPoint>& points, int current, double u)
{
    using namespace TlCurveEditing;
    int c = current;
    int i = c - 1;
    while (i > 0 && (u < points[i - 1].x - kMinSpacing || points[i].x - points[i - 1].x < kMinGap))
        --i;
    if (i >= 0 && u < points[i].x - kMinSpacing) {
        TlMovePointIndex(points, c, i);
        c = i;
    }
    const int last = static_cast<int>(points.size()) - 1;
    i = c + 1;
    while (i < last && (u > points[i + 1].x + kMinSpacing || points[i + 1].x - points[i].x < kMinGap))
        ++i;
    if (i <= last && u > points[i].x + kMinSpacing) {
        TlMovePointIndex(points, c, i);
        c = i;
    }
    double x = u;
    if (c > 0)
        x = std::max(x, points[c - 1].x + kMinSpacing);
    if (c < last)
        x = std::min(x, points[c + 1].x - kMinSpacing);
    points[c].x = x;
    return c;
}

// A key nudge of point `current` by `delta` in x, within 0..1. When it comes
// closer than the minimum spacing to its neighbour it jumps over that
// neighbour and any run of points packed closer than the minimum gap, and
// lands the minimum spacing beyond them; when there is no room beyond them
// inside 0..1 it stops the minimum spacing short of the neighbour. Returns
// the point's new index.
template <class TPoint>
int TlNudgePointX(std::vector<TPoint>& points, int current, double delta)
{
    using namespace TlCurveEditing;
    if (!(delta != 0.0))
        return current; // no step (or no number): the point stays where it is
    const int last = static_cast<int>(points.size()) - 1;
    const int direction = delta < 0 ? -1 : 1;
    const double target = std::clamp(points[current].x + delta, 0.0, 1.0);
    const int neighbour = current + direction;
    if (neighbour < 0 || neighbour > last) {
        points[current].x = target;
        return current;
    }
    const double neighbourX = points[neighbour].x;
    const bool tooClose = direction < 0 ? target < neighbourX + kMinSpacing : target > neighbourX - kMinSpacing;
    if (!tooClose) {
        points[current].x = target;
        return current;
    }
    int outer = neighbour;
    while (outer + direction >= 0 && outer + direction <= last &&
           std::fabs(points[outer].x - points[outer + direction].x) < kMinGap)
        outer += direction;
    const double beyond = points[outer].x + direction * kMinSpacing;
    if (beyond < 0.0 || beyond > 1.0) {
        points[current].x = neighbourX - direction * kMinSpacing;
        return current;
    }
    points[current].x = beyond;
    TlMovePointIndex(points, current, outer);
    return outer;
}

// Inserts `point` at `index`; false, with the list unchanged, when memory
// runs out.
template <class TPoint>
bool TlInsertPointAt(std::vector<TPoint>& points, int index, const TPoint& point)
{
    try {
        points.reserve(points.size() + 1);
    } catch (const std::bad_alloc&) {
        return false;
    }
    points.insert(points.begin() + index, point);
    return true;
}
