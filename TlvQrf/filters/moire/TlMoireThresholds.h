// The moire walk's thresholds for one pixel: the luminance change that ends
// a direction (t1), the luminance closeness (t2) and the colour closeness
// (t3) a neighbour needs. Computed in 64 bits: the setter takes any int.
#pragma once

#include <cstdint>

struct TlMoireThresholds {
    std::int64_t stop;   // t1
    std::int64_t near;   // t2
    std::int64_t colour; // t3
};

// `smoothedY` is the pixel's 1-2-1 smoothed luminance sum (weight 16).
inline TlMoireThresholds TlMoireThresholdsFor(std::int64_t strength, std::int32_t smoothedY)
{
    TlMoireThresholds t{};
    if (smoothedY >= 0x1E0000) {
        t.stop = strength * 16384;
        t.colour = t.stop / 3;
    } else {
        const std::int64_t c = std::int64_t(smoothedY) * (strength - 10);
        t.stop = c / 120 + 163840;
        t.colour = c / 360 + 40960;
    }
    t.near = t.stop / 5;
    return t;
}
