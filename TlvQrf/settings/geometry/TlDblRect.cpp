#include "settings/geometry/TlDblRect.h"

#include <algorithm>

CTlDblRect::CTlDblRect(double t, double l, double b, double r) : left(l), top(t), right(r), bottom(b) {}

CTlDblRect::CTlDblRect(const CTlDblPoint& origin, const CTlDblPoint& size)
    : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y)
{
}

bool CTlDblRect::IsEmpty() const
{
    return Height() == 0 || Width() == 0;
}

void CTlDblRect::SetWidth(double width)
{
    right = left + width;
}

void CTlDblRect::SetHeight(double height)
{
    bottom = top + height;
}

void CTlDblRect::MoveTo(double x, double y)
{
    const double width = Width();
    const double height = Height();
    left = x;
    top = y;
    right = x + width;
    bottom = y + height;
}

void CTlDblRect::MirrorX(double c)
{
    const double oldLeft = left;
    left = 2 * c - right;
    right = 2 * c - oldLeft;
}

void CTlDblRect::MirrorY(double c)
{
    const double oldTop = top;
    top = 2 * c - bottom;
    bottom = 2 * c - oldTop;
}

void CTlDblRect::TurnClockwise(double cx, double cy)
{
    const CTlDblRect old = *this;
    left = cx + cy - old.bottom;
    top = cy + old.left - cx;
    right = cx + cy - old.top;
    bottom = cy + old.right - cx;
}

void CTlDblRect::TurnCounterClockwise(double cx, double cy)
{
    const CTlDblRect old = *this;
    left = cx + old.top - cy;
    top = cx + cy - old.right;
    right = cx + old.bottom - cy;
    bottom = cx + cy - old.left;
}

void CTlDblRect::FitInto(double w, double h)
{
    const double width = std::min(std::max(Width(), 1.0), w);
    const double height = std::min(std::max(Height(), 1.0), h);
    left = std::min(left, w - width);
    top = std::min(top, h - height);
    right = left + width;
    bottom = top + height;
}

bool CTlDblRect::operator==(const CTlDblRect& other) const
{
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
}

CTlDblRect& CTlDblRect::Scale(double factor)
{
    left *= factor;
    top *= factor;
    right *= factor;
    bottom *= factor;
    return *this;
}
