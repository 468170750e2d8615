#include "settings/geometry/TlPoint.h"

#include "settings/geometry/TlPointArithmetic.h"
#include "settings/geometry/TlRect.h"

using namespace TlPointArithmetic;

// Two whole numbers behind the table pointer, nothing more.
static_assert(sizeof(CTlPoint) == sizeof(void*) + 2 * sizeof(int), "a point holds x and y only");

CTlPoint::CTlPoint() : m_x(0), m_y(0) {}

CTlPoint::CTlPoint(int x, int y) : m_x(x), m_y(y) {}

CTlPoint::~CTlPoint() = default;

int CTlPoint::GetX() const { return m_x; }

int CTlPoint::GetY() const { return m_y; }

double CTlPoint::GetRatio() const
{
    const int y = GetY();
    return y == 0 ? 0.0 : static_cast<double>(GetX()) / y;
}

void CTlPoint::SetX(int x) { m_x = x; }

void CTlPoint::SetY(int y) { m_y = y; }

void CTlPoint::Offset(int deltaX, int deltaY)
{
    SetX(Add(GetX(), deltaX));
    SetY(Add(GetY(), deltaY));
}

void CTlPoint::Offset(const CTlPoint& delta) { Offset(delta.GetX(), delta.GetY()); }

bool CTlPoint::IsInside(const CTlRect& rect) const
{
    const int x = GetX();
    const int y = GetY();
    return rect.GetLeft() <= x && x < rect.GetRight() && rect.GetTop() <= y && y < rect.GetBottom();
}

CTlPoint& CTlPoint::operator+=(const CTlPoint& delta)
{
    Offset(delta);
    return *this;
}

CTlPoint& CTlPoint::operator-=(const CTlPoint& delta)
{
    Offset(Negate(delta.GetX()), Negate(delta.GetY()));
    return *this;
}

void CTlPoint::Set(const int values[2])
{
    if (!values)
        return;
    SetX(values[0]);
    SetY(values[1]);
}

int* CTlPoint::Get(int out[2]) const
{
    if (out) {
        out[0] = GetX();
        out[1] = GetY();
    }
    return out;
}

bool CTlPoint::Equals(const CTlPoint& other) const { return GetX() == other.GetX() && GetY() == other.GetY(); }

bool CTlPoint::NotEquals(const CTlPoint& other) const { return !Equals(other); }

void CTlPoint::Scale(double factor)
{
    const int y = GetY();
    SetY(Truncate(y * factor, y));
    const int x = GetX();
    SetX(Truncate(x * factor, x));
}

void CTlPoint::Divide(double divisor)
{
    if (divisor == 0.0)
        return;
    Scale(1.0 / divisor);
}

CTlPoint operator+(const CTlPoint& a, const CTlPoint& b)
{
    CTlPoint sum(a.GetX(), a.GetY());
    sum += b;
    return sum;
}
