// The radial re-projection of the fisheye correction: points move about the
// image centre by a curve of normalised radii (entry i for radius i / 4095
// of the half-diagonal), and rectangles map to the rectangle that covers
// their mapped edges.
#pragma once

#include "kelvra/KelvraTypes.h"

class CTlFisheyeGeometry {
public:
    static constexpr int kCurveEntries = 4096;

    // For a source of `width` x `height`; `curve` holds kCurveEntries values.
    CTlFisheyeGeometry(long width, long height, const double* curve);

    // The point moved by the curve; the centre stays. Radii at or beyond the
    // last entry follow the last segment on.
    void MapPoint(double* x, double* y) const;
    // Clamps into 0..width and 0..height.
    void ClampPoint(double* x, double* y) const;
    // Covers the four mapped corners and, where a centre line crosses the
    // rectangle, the mapped ends of that line; whole pixels, inside the
    // image.
    KelvraDblRect MapRect(const KelvraDblRect& rect) const;

    long Width() const { return m_width; }
    long Height() const { return m_height; }

private:
    double CurveAt(double u) const;
    double LowEdge(double value, long size) const;
    double HighEdge(double value, long size) const;

    long m_width;
    long m_height;
    long m_cx;
    long m_cy;
    double m_radius; // the half-diagonal
    const double* m_curve;
};
