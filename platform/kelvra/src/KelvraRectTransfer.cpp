#include "KelvraRectTransfer.h"

#include "KelvraPixelCopy.h"
#include "kelvra/KelvraRegion.h"
#include "kelvra/KelvraWorkers.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace {

const KelvraTag kTransferTag = KelvraFourCC('K', 'R', 'c', 't');

// Checks a copy of `rect` against the source and the caller's rows; gives
// the bits per pixel. An empty rectangle passes without asking the source.
IKelvraError* CheckTransfer(IKelvraDataSource* source, const KelvraRect& rect, const void* buffer, long rowBytes,
                            unsigned* bitsPerPixel)
{
    if (!source || !buffer)
        return KELVRA_ERROR(nullptr, kTransferTag, kKelvraMissingObject);
    if (rect.IsEmpty()) // nothing to copy, whatever the source
        return nullptr;
    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    IKelvraError* error = source->GetSize(&width, &height);
    if (!error)
        error = source->GetColorSpace(&format);
    if (error)
        return KELVRA_WRAP(nullptr, kTransferTag, error);
    *bitsPerPixel = KelvraBitsPerPixel(format);
    if (*bitsPerPixel == 0)
        return KELVRA_ERROR(nullptr, kTransferTag, kKelvraNotReady);
    if (rect.left < 0 || rect.top < 0 || rect.right > width || rect.bottom > height)
        return KELVRA_ERROR(nullptr, kTransferTag, kKelvraBadArgument);
    if (rowBytes < 0 || std::uint64_t(rowBytes) < KelvraPackedRowBytes(*bitsPerPixel, rect.Width()))
        return KELVRA_ERROR(nullptr, kTransferTag, kKelvraBadArgument);
    return nullptr;
}

// Calls `visit` (grid, cell column, cell row) for every tile of an image
// that `rect` covers, row by row, and stops at the first error: the tiles a
// write goes to (reads go through the region reader).
template <typename Visit>
IKelvraError* VisitTiles(IKelvraDataSource* source, const KelvraRect& rect, Visit visit)
{
    IKelvraTileGrid* grid = nullptr;
    if (IKelvraError* error = source->MapRect(rect, &grid))
        return KELVRA_WRAP(nullptr, kTransferTag, error);
    IKelvraError* error = nullptr;
    for (long row = 0; !error && row < grid->GetRowCount(); ++row) {
        for (long column = 0; !error && column < grid->GetColumnCount(); ++column)
            error = visit(grid, column, row);
    }
    grid->Release();
    return error;
}

// Where `part` starts in a block of rows whose first pixel is the top-left
// of `origin` (a tile's rectangle or the caller's).
KelvraPixelAt<const std::uint8_t> ReadAt(const void* data, long rowBytes, const KelvraRect& origin,
                                         const KelvraRect& part)
{
    return {static_cast<const std::uint8_t*>(data), rowBytes, part.left - origin.left, part.top - origin.top};
}

KelvraPixelAt<std::uint8_t> WriteAt(void* data, long rowBytes, const KelvraRect& origin, const KelvraRect& part)
{
    return {static_cast<std::uint8_t*>(data), rowBytes, part.left - origin.left, part.top - origin.top};
}

// Reads `rect` one band of tile rows at a time on the worker threads, so a
// whole-image read of a filter chain makes its tiles on every core. Reads
// made while making a tile of a run stay on their thread. Bands
// cover disjoint rows of the buffer; the first failed band (from the top)
// is the one reported, so a failure reads the same whatever the timing.
IKelvraError* ReadInBands(IKelvraDataSource* source, const KelvraRect& rect, unsigned bitsPerPixel, long tileSize,
                          void* buffer, long rowBytes)
{
    const long firstRow = rect.top / tileSize;
    const long bands = (rect.bottom - 1) / tileSize - firstRow + 1;
    std::vector<IKelvraError*> errors(std::size_t(bands), nullptr);
    std::atomic<long> next{0};
    std::atomic<bool> failed{false};
    KelvraRunOnWorkers([&] {
        for (long band = next++; band < bands && !failed.load(); band = next++) {
            const long top = std::max(rect.top, (firstRow + band) * tileSize);
            const long bottom = std::min(rect.bottom, (firstRow + band + 1) * tileSize);
            auto* rows = static_cast<std::uint8_t*>(buffer) + std::ptrdiff_t(top - rect.top) * rowBytes;
            IKelvraError* error = KelvraCopyRegion(source, KelvraRect(rect.left, top, rect.right, bottom),
                                                   bitsPerPixel, kTransferTag, rows, rowBytes);
            errors[std::size_t(band)] = error;
            if (error)
                failed.store(true);
        }
    });
    IKelvraError* first = nullptr;
    for (IKelvraError* error : errors) {
        if (!first)
            first = error;
        else
            IKelvraError::Release(error);
    }
    return first;
}

// Whether the tile under the rectangle's bottom-right pixel is made
// already: then the read is mostly a copy of made tiles, which one thread
// does faster than waking the workers.
bool LastTileMade(IKelvraDataSource* source, const KelvraRect& rect, long tileSize)
{
    bool exists = false;
    IKelvraError* error = source->TileExists((rect.right - 1) / tileSize, (rect.bottom - 1) / tileSize, &exists);
    IKelvraError::Release(error);
    return !error && exists;
}

// The source's tile size when `rect` is best read in bands on the workers,
// else 0. The cheap questions come first: reads inside a run's work, the
// most frequent, ask the source nothing.
long BandTileSize(IKelvraDataSource* source, const KelvraRect& rect)
{
    if (KelvraGetWorkerThreads() == 1 || KelvraOnWorker())
        return 0;
    long tileSize = 0;
    if (IKelvraError* error = source->GetTileSize(&tileSize)) {
        IKelvraError::Release(error);
        return 0;
    }
    const bool severalRows = tileSize > 0 && rect.top / tileSize != (rect.bottom - 1) / tileSize;
    return severalRows && !LastTileMade(source, rect, tileSize) ? tileSize : 0;
}

} // namespace

IKelvraError* KelvraReadRect(IKelvraDataSource* source, const KelvraRect& rect, void* buffer, long rowBytes)
{
    unsigned bitsPerPixel = 0;
    IKelvraError* refused = CheckTransfer(source, rect, buffer, rowBytes, &bitsPerPixel);
    if (refused || rect.IsEmpty())
        return refused;
    const long tileSize = BandTileSize(source, rect);
    if (tileSize > 0)
        return ReadInBands(source, rect, bitsPerPixel, tileSize, buffer, rowBytes);
    return KelvraCopyRegion(source, rect, bitsPerPixel, kTransferTag, buffer, rowBytes);
}

IKelvraError* KelvraWriteTiles(IKelvraImage* image, const KelvraRect& rect, const void* buffer, long rowBytes,
                               bool* wrote)
{
    *wrote = false;
    unsigned bitsPerPixel = 0;
    IKelvraError* refused = CheckTransfer(image, rect, buffer, rowBytes, &bitsPerPixel);
    if (refused || rect.IsEmpty())
        return refused;
    return VisitTiles(image, rect, [&](IKelvraTileGrid* grid, long column, long row) -> IKelvraError* {
        column += grid->GetFirstColumn();
        row += grid->GetFirstRow();
        void* data = nullptr;
        KelvraRect tile;
        long tileRowBytes = 0;
        if (IKelvraError* error = image->LockTileForWrite(column, row, &data, &tile, &tileRowBytes))
            return KELVRA_WRAP(nullptr, kTransferTag, error);
        const KelvraRect part = tile.Intersection(rect);
        KelvraCopyPixels(ReadAt(buffer, rowBytes, rect, part), WriteAt(data, tileRowBytes, tile, part),
                         part.Width(), part.Height(), bitsPerPixel);
        *wrote = true;
        if (IKelvraError* error = image->UnlockTileForWrite(column, row, false))
            return KELVRA_WRAP(nullptr, kTransferTag, error);
        return nullptr;
    });
}

IKelvraError* KelvraWriteRect(IKelvraImage* image, const KelvraRect& rect, const void* buffer, long rowBytes)
{
    bool wrote = false;
    IKelvraError* error = KelvraWriteTiles(image, rect, buffer, rowBytes, &wrote);
    if (wrote) {
        KelvraRect changed = rect;
        error = KELVRA_WRAP(error, kTransferTag, KelvraSendDataNotification(image, kKelvraNotifyData, &changed));
    }
    return error;
}
