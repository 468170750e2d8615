// The data source operations every source shares, built on the few each
// source implements itself: its geometry and its (column, row) tile locks.
#include "kelvra/KelvraData.h"
#include "kelvra/KelvraTileCache.h"

#include "KelvraTileGrid.h"

namespace {

const KelvraTag kSourceTag = KelvraFourCC('K', 'S', 'r', 'c');

IKelvraError* ReadGrid(IKelvraDataSource* source, KelvraTileLayout* grid)
{
    if (IKelvraError* error = source->GetSize(&grid->width, &grid->height))
        return error; // wrapped by GetSize already
    if (IKelvraError* error = source->GetTileSize(&grid->tileSize))
        return KELVRA_WRAP(nullptr, kSourceTag, error);
    return nullptr;
}

// Turns grid cell (column, row) into the absolute tile it stands for.
IKelvraError* CellToTile(const IKelvraTileGrid* grid, long* column, long* row)
{
    if (!grid)
        return KELVRA_ERROR(nullptr, kSourceTag, kKelvraMissingObject);
    if (*column < 0 || *row < 0 || *column >= grid->GetColumnCount() || *row >= grid->GetRowCount())
        return KELVRA_ERROR(nullptr, kSourceTag, kKelvraBadArgument);
    *column += grid->GetFirstColumn();
    *row += grid->GetFirstRow();
    return nullptr;
}

} // namespace

IKelvraError* IKelvraDataSource::TileExists(long id, bool* exists)
{
    return TileExists(KelvraTileColumn(id), KelvraTileRow(id), exists);
}

IKelvraError* IKelvraDataSource::GetTile(long id, KelvraRect* rect)
{
    return GetTile(KelvraTileColumn(id), KelvraTileRow(id), rect);
}

IKelvraError* IKelvraDataSource::GetTile(long column, long row, KelvraRect* rect)
{
    if (!rect)
        return KELVRA_ERROR(nullptr, kSourceTag, kKelvraMissingObject);
    KelvraTileLayout grid;
    if (IKelvraError* error = ReadGrid(this, &grid))
        return error;
    if (!grid.HasTile(column, row))
        return KELVRA_ERROR(nullptr, kSourceTag, kKelvraBadArgument);
    *rect = grid.TileRect(column, row);
    return nullptr;
}

// `data` points at the tile's first pixel (the top-left of `tileRect`), as
// for every other lock; `lockedRect` says which part of it the grid wants.
IKelvraError* IKelvraDataSource::LockTile(IKelvraTileGrid* grid, long column, long row, const void** data,
                                          KelvraRect* tileRect, KelvraRect* lockedRect, long* rowBytes)
{
    if (IKelvraError* error = CellToTile(grid, &column, &row))
        return error;
    KelvraRect rect;
    if (IKelvraError* error = LockTile(column, row, data, &rect, rowBytes))
        return KELVRA_WRAP(nullptr, kSourceTag, error);
    if (tileRect)
        *tileRect = rect;
    if (lockedRect)
        *lockedRect = rect.Intersection(grid->GetRect());
    return nullptr;
}

IKelvraError* IKelvraDataSource::LockTile(long id, const void** data, KelvraRect* rect, long* rowBytes)
{
    return LockTile(KelvraTileColumn(id), KelvraTileRow(id), data, rect, rowBytes);
}

IKelvraError* IKelvraDataSource::UnlockTile(IKelvraTileGrid* grid, long column, long row)
{
    if (IKelvraError* error = CellToTile(grid, &column, &row))
        return error;
    if (IKelvraError* error = UnlockTile(column, row))
        return KELVRA_WRAP(nullptr, kSourceTag, error);
    return nullptr;
}

IKelvraError* IKelvraDataSource::UnlockTile(long id)
{
    return UnlockTile(KelvraTileColumn(id), KelvraTileRow(id));
}

IKelvraError* IKelvraDataSource::MapRect(const KelvraRect& rect, IKelvraTileGrid** grid)
{
    if (!grid)
        return KELVRA_ERROR(nullptr, kSourceTag, kKelvraMissingObject);
    *grid = nullptr;
    KelvraTileLayout layout;
    if (IKelvraError* error = ReadGrid(this, &layout))
        return error;
    if (layout.tileSize <= 0)
        return KELVRA_ERROR(nullptr, kSourceTag, kKelvraNotReady);
    const KelvraRect clipped = rect.Intersection(KelvraRect(0, 0, layout.width, layout.height));
    if (IKelvraError* error = CKelvraTileGrid::Create(clipped, layout.tileSize, grid))
        return KELVRA_WRAP(nullptr, kSourceTag, error);
    return nullptr;
}

IKelvraError* IKelvraDataSource::GetSize(long* width, long* height)
{
    if (!width || !height)
        return KELVRA_ERROR(nullptr, kSourceTag, kKelvraMissingObject);
    IKelvraError* error = GetWidth(width);
    if (!error)
        error = GetHeight(height);
    return error ? KELVRA_WRAP(nullptr, kSourceTag, error) : nullptr;
}

IKelvraError* IKelvraDataSource::GetRowBytes(long* rowBytes)
{
    if (!rowBytes)
        return KELVRA_ERROR(nullptr, kSourceTag, kKelvraMissingObject);
    KelvraPixelFormat format = 0;
    long tileSize = 0;
    IKelvraError* error = GetColorSpace(&format);
    if (!error)
        error = GetTileSize(&tileSize);
    if (error)
        return KELVRA_WRAP(nullptr, kSourceTag, error);
    *rowBytes = KelvraRowBytes(format, tileSize);
    return nullptr;
}
