// The channel mixer's arithmetic: every channel of a pixel becomes one
// weighted sum of the pixel's channels, truncated and capped at the largest
// sample value.
#pragma once

#include <cstdint>

struct TlMixWeights {
    double weight[4]; // channels 0..3; the fourth only for four-channel pixels
};

// Mixes `pixels` pixels of `channels` (1, 3 or 4) interleaved samples from
// `in` to `out`. The sums keep the order the stored images were made with:
// 0, 2, 1 for three channels and 0, 3, 1, 2 for four.
void TlMixRow(const std::uint8_t* in, std::uint8_t* out, long pixels, int channels, const TlMixWeights& weights);
void TlMixRow(const std::uint16_t* in, std::uint16_t* out, long pixels, int channels, const TlMixWeights& weights);
