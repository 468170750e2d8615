#include "GridLines.h"

#include <algorithm>
#include <cmath>

GridLines PlanGridLines(long width, long height, double scale, long cells)
{
    GridLines lines;
    lines.cell = std::max(2L, std::max(width, height) / std::max(1L, cells));
    const long onePixel = scale > 0 ? long(std::lround(1.0 / scale)) : 1;
    // A line never fills its cell: half of it at most.
    lines.thickness = std::min(std::max(1L, onePixel), std::max(1L, lines.cell / 2));
    return lines;
}
