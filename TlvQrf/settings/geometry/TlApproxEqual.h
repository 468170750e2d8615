// Approximate equality of doubles, as the geometry checks its own
// consistency: mantissas within 1e-10 once both are brought to one exponent.
#pragma once

// False when the base-2 exponents differ by more than one, and for a NaN.
bool TlApproxEqual(double a, double b);
