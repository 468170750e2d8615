// A point of signed 32-bit whole numbers with virtual accessors, used where
// geometry leaves the double-valued model. Sums saturate at the int range;
// scaling by a double truncates toward zero.
#pragma once

class CTlRect;

class CTlPoint {
public:
    CTlPoint();
    CTlPoint(int x, int y);
    CTlPoint(const CTlPoint& other) = default;
    CTlPoint& operator=(const CTlPoint& other) = default;

    virtual int GetX() const;
    virtual int GetY() const;
    // x / y; 0.0 when y is 0, as there is no ratio then.
    virtual double GetRatio() const;
    virtual void SetX(int x);
    virtual void SetY(int y);
    // Through the getters and setters, so a derived point sees the change.
    virtual void Offset(int deltaX, int deltaY);
    virtual void Offset(const CTlPoint& delta);
    // left <= x < right and top <= y < bottom: the far edges are outside.
    virtual bool IsInside(const CTlRect& rect) const;
    virtual CTlPoint& operator+=(const CTlPoint& delta);
    virtual CTlPoint& operator-=(const CTlPoint& delta);
    // x, y from / into a two-element array; nothing happens for null.
    virtual void Set(const int values[2]);
    virtual int* Get(int out[2]) const;
    virtual bool Equals(const CTlPoint& other) const;
    virtual bool NotEquals(const CTlPoint& other) const;
    // y = trunc(y * factor), then x likewise. Products beyond the int range
    // saturate; a product that is not a number leaves the coordinate as it is.
    virtual void Scale(double factor);
    // Scale by 1 / divisor; a divisor of 0 leaves the point as it is.
    virtual void Divide(double divisor);
    virtual ~CTlPoint();

private:
    int m_x;
    int m_y;
};

CTlPoint operator+(const CTlPoint& a, const CTlPoint& b);
