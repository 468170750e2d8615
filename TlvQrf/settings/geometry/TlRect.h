// A rectangle of signed 32-bit whole numbers with virtual accessors, kept as
// top, left, bottom, right (top before left). Width is right - left and
// height bottom - top; it is empty unless bottom > top and right > left.
// Moves saturate at the int range instead of overflowing.
#pragma once

#include "settings/geometry/TlPoint.h"

#include <windows.h>

class CTlRect {
public:
    // (0, 0, 0, 0): an empty rectangle at the origin.
    CTlRect();
    CTlRect(int top, int left, int bottom, int right);
    CTlRect(const CTlRect& other) = default;
    CTlRect& operator=(const CTlRect& other) = default;

    virtual int GetTop() const;
    virtual int GetLeft() const;
    virtual int GetBottom() const;
    virtual int GetRight() const;
    // (left, top) and (right, bottom).
    virtual CTlPoint GetTopLeft() const;
    virtual CTlPoint GetBottomRight() const;
    // Saturated at the int range.
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    // width / height; 0.0 when the height is 0, as there is no aspect then.
    virtual double GetAspect() const;
    // (width, height).
    virtual CTlPoint GetSize() const;
    virtual void SetTop(int top);
    virtual void SetLeft(int left);
    virtual void SetBottom(int bottom);
    virtual void SetRight(int right);
    virtual void SetTopLeft(const CTlPoint& point);
    virtual void SetBottomRight(const CTlPoint& point);
    // The common part; (0, 0, 0, 0) when it is empty.
    virtual CTlRect Intersect(const CTlRect& other) const;
    // Moves the top-left corner to (0, 0), keeping the size.
    virtual void MoveToOrigin();
    virtual void MoveTo(int x, int y);
    virtual void MoveTo(const CTlPoint& point);
    virtual void Offset(int deltaX, int deltaY);
    // Moves both corners by the point; every other move ends here.
    virtual void Offset(const CTlPoint& delta);
    virtual CTlRect& operator+=(const CTlPoint& delta);
    virtual CTlRect& operator-=(const CTlPoint& delta);
    // top, left, bottom, right into a four-element array; nothing for null.
    virtual int* Get(int out[4]) const;
    virtual void SetFromRECT(const RECT& rect);
    // The point's IsInside: the right and bottom edges are outside.
    virtual bool Contains(const CTlPoint& point) const;
    virtual bool IsEmpty() const;
    virtual RECT& ToRECT(RECT& out) const;
    virtual ~CTlRect();

private:
    int m_top;
    int m_left;
    int m_bottom;
    int m_right;
};
