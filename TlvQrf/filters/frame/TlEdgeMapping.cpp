#include "filters/frame/TlEdgeMapping.h"

#include <cstdint>

namespace {

// 64-bit throughout: the steps below must not overflow for any long input.
long StepInside(std::int64_t x, std::int64_t size, std::int64_t m)
{
    if (x < 0)
        return long(x + m * ((m - x - 1) / m));
    return long(x - m * ((m + x - size) / m));
}

// Reflection at 0 and at size - 1 repeats every 2 * (size - 1) pixels, so
// the mirror is found in one step however far outside the coordinate is.
long Mirror(std::int64_t x, std::int64_t size)
{
    if (size == 1)
        return 0;
    const std::int64_t period = 2 * (size - 1);
    std::int64_t folded = (x < 0 ? -x : x) % period;
    if (folded >= size)
        folded = period - folded;
    return long(folded);
}

} // namespace

long TlMapEdge(long coordinate, long size, int mode, bool* outside)
{
    const bool isOutside = coordinate < 0 || coordinate >= size;
    if (outside)
        *outside = false;
    if (!isOutside || (mode <= 0 && mode != kTlEdgeMirror))
        return coordinate;
    if (outside)
        *outside = true;
    if (mode == kTlEdgeMirror)
        return size > 0 ? Mirror(coordinate, size) : coordinate;
    return StepInside(coordinate, size, mode);
}
