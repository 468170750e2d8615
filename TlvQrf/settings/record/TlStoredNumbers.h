// Conversions of doubles into the small integers some stored forms keep.
#pragma once

#include <cstdint>

// Truncates toward zero and saturates to the signed 16-bit range (NaN gives
// 0), so an out-of-range value never overflows the conversion.
std::int16_t TruncateToInt16(double value);
