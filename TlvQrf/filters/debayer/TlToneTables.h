// Process-wide tone tables shared by the demosaicing filters, the dust
// removal and the library core's gamma caches. Built once, on first use,
// and never freed; safe to ask for from several threads at once.
#pragma once

#include <cstdint>

enum : std::int32_t {
    kTlSqrtEntries = 4096,   // indexed by a 12-bit linear sample
    kTlSqrtMax = 262143,     // the 18-bit companded value of full scale
    kTlSquareEntries = 65536,
};

// Entry i: (i / 65535)^2 * 65535, rounded.
const std::uint16_t* GetSquareTable();
// Entry i: sqrt(i / 4095) * 262143, truncated.
const std::int32_t* GetSqrtTable();
