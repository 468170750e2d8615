#include "filters/revelation/TlWarpkitBandPlan.h"

#include <cstdint>

TlWarpkitBandPlan TlPlanBands(bool streaming, long bitsPerSample, long width, long height)
{
    TlWarpkitBandPlan plan;
    if (streaming && width > 0 && height > 0) {
        const std::int64_t bytesPerPixel = bitsPerSample <= 8 ? 3 : 6;
        const std::int64_t bytes = bytesPerPixel * std::int64_t(width) * std::int64_t(height);
        plan.count = long(((bytes - 1) >> 25) + 1);
    }
    plan.rows = height > 0 ? (height - 1) / plan.count + 1 : 0;
    return plan;
}
