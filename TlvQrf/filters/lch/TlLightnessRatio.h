// How much of a chroma change a pixel's lightness lets through: nothing in
// the deepest shadows, all of it from a little above them. One table for the
// whole process, built on first use and kept until the process ends.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstddef>

// Entries of the two parts of the table.
constexpr std::size_t kTlRatioEntries8 = 256;
constexpr std::size_t kTlRatioEntries16 = 65536;

// The ratios indexed by lightness: the 8-bit part for 8-bit LCh, the 16-bit
// part for any other format. Safe from any thread.
const double* GetLightnessRatioTable(KelvraPixelFormat format);
