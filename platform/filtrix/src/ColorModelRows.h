// Pixel conversions of the colour-space filter between colour models and
// sample depths, one row run at a time.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstdint>

// The format that `space` (kColorSpace*) and `depth` (kColorDepth*) make of
// `input`; 0 when the filter cannot make it.
KelvraPixelFormat ColorOutputFormat(KelvraPixelFormat input, long space, long depth);

// Converts `count` pixels of `input` format into `output` format (a pair
// that ColorOutputFormat gave).
void ConvertColorRun(KelvraPixelFormat input, KelvraPixelFormat output, const std::uint8_t* in, std::uint8_t* out,
                     long count);
