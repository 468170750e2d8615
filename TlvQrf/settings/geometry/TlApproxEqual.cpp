#include "settings/geometry/TlApproxEqual.h"

#include <cmath>

bool TlApproxEqual(double a, double b)
{
    int ea = 0;
    int eb = 0;
    double ma = std::frexp(a, &ea);
    double mb = std::frexp(b, &eb);
    // Adjacent exponents: the mantissa of the larger value is doubled.
    if (ea == eb - 1)
        mb *= 2;
    else if (ea == eb + 1)
        ma *= 2;
    else if (ea != eb)
        return false;
    return std::fabs(ma - mb) <= 1e-10;
}
