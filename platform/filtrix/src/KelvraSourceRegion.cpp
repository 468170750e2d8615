#include "KelvraSourceRegion.h"

#include <cstring>

namespace {

// Locks grid cell (column, row), hands its part to `visit`, unlocks.
IKelvraError* VisitCell(IKelvraDataSource* source, IKelvraTileGrid* grid, long column, long row, long pixelBytes,
                        KelvraTag tag, const KelvraTileVisit& visit)
{
    const void* data = nullptr;
    KelvraRect tileRect, part;
    long rowBytes = 0;
    if (IKelvraError* error = source->LockTile(grid, column, row, &data, &tileRect, &part, &rowBytes))
        return KELVRA_WRAP(nullptr, tag, error);
    const auto* pixels = static_cast<const std::uint8_t*>(data) + (part.top - tileRect.top) * rowBytes +
                         (part.left - tileRect.left) * pixelBytes;
    IKelvraError* error = visit(part, pixels, rowBytes);
    if (IKelvraError* unlocked = source->UnlockTile(grid, column, row))
        error = KELVRA_WRAP(error, tag, unlocked);
    return error;
}

} // namespace

IKelvraError* KelvraVisitTiles(IKelvraDataSource* source, const KelvraRect& rect, long pixelBytes, KelvraTag tag,
                               const KelvraTileVisit& visit)
{
    IKelvraTileGrid* grid = nullptr;
    if (IKelvraError* error = source->MapRect(rect, &grid))
        return KELVRA_WRAP(nullptr, tag, error);
    IKelvraError* error = nullptr;
    for (long row = 0; !error && row < grid->GetRowCount(); ++row) {
        for (long column = 0; !error && column < grid->GetColumnCount(); ++column)
            error = VisitCell(source, grid, column, row, pixelBytes, tag, visit);
    }
    grid->Release();
    return error;
}

IKelvraError* KelvraReadRegion(IKelvraDataSource* source, const KelvraRect& rect, long pixelBytes, KelvraTag tag,
                               std::uint8_t* buffer, long rowBytes)
{
    return KelvraVisitTiles(source, rect, pixelBytes, tag,
                            [&](const KelvraRect& part, const std::uint8_t* pixels, long partRowBytes) {
                                std::uint8_t* target = buffer + (part.top - rect.top) * rowBytes +
                                                       (part.left - rect.left) * pixelBytes;
                                for (long y = 0; y < part.Height(); ++y)
                                    std::memcpy(target + y * rowBytes, pixels + y * partRowBytes,
                                                std::size_t(part.Width() * pixelBytes));
                                return static_cast<IKelvraError*>(nullptr);
                            });
}
