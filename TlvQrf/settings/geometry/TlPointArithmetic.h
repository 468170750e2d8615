// Whole-number arithmetic of the point and rectangle classes. Coordinates
// come from users and stored settings, so a result beyond the int range
// saturates at its end instead of overflowing.
#pragma once

#include <climits>
#include <cmath>

namespace TlPointArithmetic {

inline int Saturate(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

inline int Add(int a, int b) { return Saturate(static_cast<long long>(a) + b); }
inline int Subtract(int a, int b) { return Saturate(static_cast<long long>(a) - b); }
// INT_MIN has no negation in int; it gives INT_MAX.
inline int Negate(int value) { return Saturate(-static_cast<long long>(value)); }

// trunc(value) within the int range; `fallback` when value is not a number.
inline int Truncate(double value, int fallback)
{
    if (std::isnan(value))
        return fallback;
    if (value >= 2147483648.0)
        return INT_MAX;
    if (value <= -2147483649.0)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace TlPointArithmetic
