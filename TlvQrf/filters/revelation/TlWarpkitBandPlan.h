// How the rendering pass cuts its region into horizontal bands: in
// streaming mode no band holds more than 32 MiB of pixels (3 bytes a pixel
// up to 8 bits a sample, 6 above), otherwise the region is one band.
#pragma once

struct TlWarpkitBandPlan {
    long count = 1;
    long rows = 0; // rows per band; the last band may have fewer
};

// Sizes are multiplied in 64 bits: a large region overflows 32.
TlWarpkitBandPlan TlPlanBands(bool streaming, long bitsPerSample, long width, long height);
