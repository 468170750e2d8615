// The curve of one tone-curve parameter block: the natural spline's slopes,
// the input-level mapping and the value at a position. Shared by the
// element's setters, its evaluation and its stored form.
#pragma once

#include "settings/curves/TlLut.h"

#include <vector>

// 0..1, with NaN taken as 0 so that no NaN reaches a table or a point.
double TlLimitUnit(double value);

// A point of the curve with its spline values cleared.
TlLutPoint TlLutKnot(double x, double y);
// True for exactly the two points (0, 0) and (1, 1).
bool TlIsIdentityPair(const std::vector<TlLutPoint>& points);
// Makes the list the identity pair; allocates only when it holds room for
// fewer than two points.
void TlSetIdentityPair(std::vector<TlLutPoint>& points);

// Where a value stands between black (0) and white (1). When black and white
// coincide the mapping is the hard threshold it tends to: 0 at or below
// black, 1 above.
double TlLutLevelPosition(double value, double black, double white);

// Solves the slopes of the natural spline when they are out of date; the
// straight two-point curve needs none.
void TlRefreshLutSlopes(TlLutParams& block);

// Evaluates one block's curve at ascending (or nearby) positions, keeping
// the segment of the last position so that a table is walked in step.
class CTlLutCurveWalker {
public:
    // Without `usePoints` the curve is the identity pair; `applyGamma` adds
    // the midtone correction inside the curve's span.
    CTlLutCurveWalker(const TlLutParams& block, bool usePoints, bool applyGamma);
    CTlLutCurveWalker(const CTlLutCurveWalker&) = delete;
    CTlLutCurveWalker& operator=(const CTlLutCurveWalker&) = delete;

    double ValueAt(double t);

private:
    double SplineValue(double t);

    TlLutPoint m_identity[2];
    const TlLutPoint* m_points;
    int m_last;
    double m_gamma;
    bool m_gammaOn;
    int m_segment = 0;
};
