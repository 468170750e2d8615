// The one clamping rule of the geometry: the lower bound is tested first, so
// an empty range ends on its lower bound; a NaN is left alone.
#pragma once

// Holds `value` within [low, high]; true when it had to change it.
inline bool TlClampInto(double& value, double low, double high)
{
    if (value < low) {
        value = low;
        return true;
    }
    if (value > high) {
        value = high;
        return true;
    }
    return false;
}
