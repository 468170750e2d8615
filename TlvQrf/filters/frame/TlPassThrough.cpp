#include "filters/frame/TlPassThrough.h"

#include <cstring>

IKelvraError* TlCopySourceRows(const CTlTileTarget& target, const CTlSourceTile& sourceTile)
{
    const KelvraRect rows = sourceTile.overlap.Intersection(target.toFill);
    if (rows.IsEmpty())
        return nullptr;
    const std::size_t rowLength = std::size_t(rows.Width() * sourceTile.pixelBytes);
    for (long y = rows.top; y < rows.bottom; ++y)
        std::memcpy(target.At(rows.left, y), sourceTile.At(rows.left, y), rowLength);
    return nullptr;
}
