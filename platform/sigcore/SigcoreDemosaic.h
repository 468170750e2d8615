// The develop of one pixel: the colour sites around it averaged per filter
// colour, turned into RGB and scaled by the develop gains.
#pragma once

#include "Sigcore.h"

#include <cstdint>

struct SigcoreMosaic {
    const std::uint16_t* samples;
    long width;
    long height;
    int layout;
};

// The RGB (12-bit) of the site (x, y), which must have a neighbour on each
// side inside the mosaic.
void SigcoreDevelopPixel(const SigcoreMosaic& mosaic, const SigcoreParams& params, long x, long y,
                         std::uint16_t* rgb);
