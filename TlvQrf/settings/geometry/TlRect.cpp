#include "settings/geometry/TlRect.h"

#include "settings/geometry/TlPointArithmetic.h"

#include <algorithm>

using namespace TlPointArithmetic;

// Four whole numbers behind the table pointer, nothing more.
static_assert(sizeof(CTlRect) == sizeof(void*) + 4 * sizeof(int), "a rectangle holds its four edges only");

CTlRect::CTlRect() : CTlRect(0, 0, 0, 0) {}

CTlRect::CTlRect(int top, int left, int bottom, int right) : m_top(top), m_left(left), m_bottom(bottom), m_right(right)
{
}

CTlRect::~CTlRect() = default;

int CTlRect::GetTop() const { return m_top; }

int CTlRect::GetLeft() const { return m_left; }

int CTlRect::GetBottom() const { return m_bottom; }

int CTlRect::GetRight() const { return m_right; }

CTlPoint CTlRect::GetTopLeft() const { return CTlPoint(GetLeft(), GetTop()); }

CTlPoint CTlRect::GetBottomRight() const { return CTlPoint(GetRight(), GetBottom()); }

int CTlRect::GetWidth() const { return Subtract(GetRight(), GetLeft()); }

int CTlRect::GetHeight() const { return Subtract(GetBottom(), GetTop()); }

double CTlRect::GetAspect() const
{
    const int height = GetHeight();
    return height == 0 ? 0.0 : static_cast<double>(GetWidth()) / height;
}

CTlPoint CTlRect::GetSize() const { return CTlPoint(GetWidth(), GetHeight()); }

void CTlRect::SetTop(int top) { m_top = top; }

void CTlRect::SetLeft(int left) { m_left = left; }

void CTlRect::SetBottom(int bottom) { m_bottom = bottom; }

void CTlRect::SetRight(int right) { m_right = right; }

void CTlRect::SetTopLeft(const CTlPoint& point)
{
    SetLeft(point.GetX());
    SetTop(point.GetY());
}

void CTlRect::SetBottomRight(const CTlPoint& point)
{
    SetRight(point.GetX());
    SetBottom(point.GetY());
}

CTlRect CTlRect::Intersect(const CTlRect& other) const
{
    const CTlRect common(std::max(GetTop(), other.GetTop()), std::max(GetLeft(), other.GetLeft()),
                         std::min(GetBottom(), other.GetBottom()), std::min(GetRight(), other.GetRight()));
    return common.IsEmpty() ? CTlRect() : common;
}

void CTlRect::MoveToOrigin() { Offset(Negate(GetLeft()), Negate(GetTop())); }

void CTlRect::MoveTo(int x, int y) { MoveTo(CTlPoint(x, y)); }

void CTlRect::MoveTo(const CTlPoint& point)
{
    MoveToOrigin();
    Offset(point);
}

void CTlRect::Offset(int deltaX, int deltaY) { Offset(CTlPoint(deltaX, deltaY)); }

void CTlRect::Offset(const CTlPoint& delta)
{
    SetTopLeft(GetTopLeft() + delta);
    SetBottomRight(GetBottomRight() + delta);
}

CTlRect& CTlRect::operator+=(const CTlPoint& delta)
{
    Offset(delta);
    return *this;
}

CTlRect& CTlRect::operator-=(const CTlPoint& delta)
{
    Offset(Negate(delta.GetX()), Negate(delta.GetY()));
    return *this;
}

int* CTlRect::Get(int out[4]) const
{
    if (out) {
        out[0] = GetTop();
        out[1] = GetLeft();
        out[2] = GetBottom();
        out[3] = GetRight();
    }
    return out;
}

void CTlRect::SetFromRECT(const RECT& rect)
{
    SetTop(rect.top);
    SetLeft(rect.left);
    SetBottom(rect.bottom);
    SetRight(rect.right);
}

bool CTlRect::Contains(const CTlPoint& point) const { return point.IsInside(*this); }

bool CTlRect::IsEmpty() const { return !(GetBottom() > GetTop() && GetRight() > GetLeft()); }

RECT& CTlRect::ToRECT(RECT& out) const
{
    out.left = GetLeft();
    out.top = GetTop();
    out.right = GetRight();
    out.bottom = GetBottom();
    return out;
}
