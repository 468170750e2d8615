// The black and white level of one channel from its histogram: the bins
// where 0.5 % of the pixels lie below and above, spread onto the 16-bit
// scale so that the black bin lands on 328 and the white bin on 65207.
#pragma once

#include <cstdint>
#include <vector>

struct TlChannelLevels {
    std::int32_t low;
    std::int32_t high;
};

// `counts` holds 2^bits bins (bits 1 to 16); `clipped` pixels are cut at
// each end. Bins that coincide give the identity, 0 and 65535.
TlChannelLevels TlLevelsFromHistogram(const std::vector<std::uint32_t>& counts, long bits, std::uint64_t clipped);
