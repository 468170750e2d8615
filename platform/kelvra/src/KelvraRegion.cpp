#include "kelvra/KelvraRegion.h"

#include "KelvraPixelCopy.h"

namespace {

IKelvraError* VisitCell(IKelvraDataSource* source, IKelvraTileGrid* grid, long column, long row, KelvraTag tag,
                        const KelvraRegionVisit& visit)
{
    const void* data = nullptr;
    KelvraRegionTile tile{nullptr, KelvraRect(), KelvraRect(), 0};
    if (IKelvraError* error = source->LockTile(grid, column, row, &data, &tile.tile, &tile.part, &tile.rowBytes))
        return KELVRA_WRAP(nullptr, tag, error);
    tile.data = static_cast<const std::uint8_t*>(data);
    IKelvraError* error = visit(tile);
    if (IKelvraError* unlocked = source->UnlockTile(grid, column, row))
        error = KELVRA_WRAP(error, tag, unlocked);
    return error;
}

} // namespace

IKelvraError* KelvraVisitRegion(IKelvraDataSource* source, const KelvraRect& rect, KelvraTag tag,
                                const KelvraRegionVisit& visit)
{
    if (!source)
        return KELVRA_ERROR(nullptr, tag, kKelvraMissingObject);
    IKelvraTileGrid* grid = nullptr;
    if (IKelvraError* error = source->MapRect(rect, &grid))
        return KELVRA_WRAP(nullptr, tag, error);
    if (!grid)
        return KELVRA_ERROR(nullptr, tag, kKelvraMissingObject);
    IKelvraError* error = nullptr;
    for (long row = 0; !error && row < grid->GetRowCount(); ++row) {
        for (long column = 0; !error && column < grid->GetColumnCount(); ++column)
            error = VisitCell(source, grid, column, row, tag, visit);
    }
    grid->Release();
    return error;
}

IKelvraError* KelvraCopyRegion(IKelvraDataSource* source, const KelvraRect& rect, unsigned bitsPerPixel,
                               KelvraTag tag, void* buffer, long rowBytes)
{
    auto* target = static_cast<std::uint8_t*>(buffer);
    return KelvraVisitRegion(source, rect, tag, [&](const KelvraRegionTile& tile) -> IKelvraError* {
        const KelvraPixelAt<const std::uint8_t> from{tile.data, tile.rowBytes, tile.part.left - tile.tile.left,
                                                     tile.part.top - tile.tile.top};
        const KelvraPixelAt<std::uint8_t> to{target, rowBytes, tile.part.left - rect.left, tile.part.top - rect.top};
        KelvraCopyPixels(from, to, tile.part.Width(), tile.part.Height(), bitsPerPixel);
        return nullptr;
    });
}
