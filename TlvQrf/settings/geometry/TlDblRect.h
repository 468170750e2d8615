// Plain double-valued geometry: a point or size pair and a rectangle, with
// the mirror and quarter-turn arithmetic the geometry steps build on. No
// operation validates its input.
#pragma once

// A pair of doubles, used both as a point (x, y) and as a size (width, height).
class CTlDblPoint {
public:
    CTlDblPoint() = default;
    CTlDblPoint(double px, double py) : x(px), y(py) {}

    double x = 0;
    double y = 0;
};

// x grows to the right, y downwards; width is right - left, height bottom - top.
class CTlDblRect {
public:
    CTlDblRect() = default;
    // Note the argument order: top and left come first, as callers pass them.
    CTlDblRect(double top, double left, double bottom, double right);
    CTlDblRect(const CTlDblPoint& origin, const CTlDblPoint& size);

    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
    // True when the width or the height is exactly 0.
    bool IsEmpty() const;

    void SetWidth(double width);
    void SetHeight(double height);
    // Keeps width and height.
    void MoveTo(double x, double y);
    // Mirror about the vertical line x = c / the horizontal line y = c.
    void MirrorX(double c);
    void MirrorY(double c);
    // Quarter turns about (cx, cy), as seen on screen.
    void TurnClockwise(double cx, double cy);
    void TurnCounterClockwise(double cx, double cy);
    // Size held within [1, w] x [1, h], then moved so that it ends inside
    // w and h; the origin is not raised to 0.
    void FitInto(double w, double h);

    bool operator==(const CTlDblRect& other) const;
    bool operator!=(const CTlDblRect& other) const { return !(*this == other); }
    // The chain builders' names for the two comparisons.
    bool IsEqual(const CTlDblRect& other) const { return *this == other; }
    bool IsDifferent(const CTlDblRect& other) const { return *this != other; }
    // Every coordinate times `factor`; returns the rectangle itself.
    CTlDblRect& Scale(double factor);

    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};
