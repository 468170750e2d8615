#include "settings/record/TlStoredNumbers.h"

#include <cmath>

std::int16_t TruncateToInt16(double value)
{
    const double truncated = std::trunc(value);
    if (std::isnan(truncated))
        return 0;
    if (truncated <= double(INT16_MIN))
        return INT16_MIN;
    if (truncated >= double(INT16_MAX))
        return INT16_MAX;
    return static_cast<std::int16_t>(truncated);
}
