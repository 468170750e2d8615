#include "FiltrixTileRows.h"

#include "FiltrixSamples.h"
#include "filtrix/KelvraFilterBase.h"

IKelvraError* FiltrixSourceFormat(KelvraTag tag, IKelvraDataSource* source, bool (*accept)(KelvraPixelFormat),
                                  KelvraPixelFormat* format)
{
    if (!source)
        return KELVRA_ERROR(nullptr, tag, kKelvraNotReady);
    if (IKelvraError* error = source->GetColorSpace(format))
        return KELVRA_WRAP(nullptr, tag, error);
    return accept(*format) ? nullptr : KELVRA_ERROR(nullptr, tag, kKelvraUnsupportedFormat);
}

IKelvraError* FiltrixFirstSource(KelvraTag tag, const std::vector<IKelvraDataSource*>& sources,
                                 bool (*accept)(KelvraPixelFormat), IKelvraDataSource** source,
                                 KelvraPixelFormat* format)
{
    *source = sources.empty() ? nullptr : sources[0];
    return FiltrixSourceFormat(tag, *source, accept, format);
}

namespace {

// Reads the runs of grid cell (column, row) and unlocks it again.
IKelvraError* ReadCell(IKelvraDataSource* source, IKelvraTileGrid* grid, long column, long row, long pixelBytes,
                       const FiltrixRunReader& read)
{
    const void* data = nullptr;
    KelvraRect tileRect, locked;
    long rowBytes = 0;
    if (IKelvraError* error = source->LockTile(grid, column, row, &data, &tileRect, &locked, &rowBytes))
        return error;
    const auto* first = static_cast<const std::uint8_t*>(data) + (locked.left - tileRect.left) * pixelBytes;
    for (long y = locked.top; y < locked.bottom; ++y)
        read({first + (y - tileRect.top) * rowBytes, locked.Width(), locked.left, y});
    return source->UnlockTile(grid, column, row);
}

} // namespace

IKelvraError* FiltrixReadRuns(KelvraTag tag, IKelvraDataSource* source, const KelvraRect& rect,
                              const FiltrixRunReader& read)
{
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = FiltrixSourceFormat(tag, source, FiltrixIsByteFormat, &format))
        return error;
    IKelvraTileGrid* grid = nullptr;
    if (IKelvraError* error = source->MapRect(rect, &grid))
        return KELVRA_WRAP(nullptr, tag, error);
    const long pixelBytes = long(KelvraBitsPerPixel(format) / 8);
    IKelvraError* error = nullptr;
    for (long row = 0; !error && row < grid->GetRowCount(); ++row) {
        for (long column = 0; !error && column < grid->GetColumnCount(); ++column)
            error = ReadCell(source, grid, column, row, pixelBytes, read);
    }
    grid->Release();
    return error ? KELVRA_WRAP(nullptr, tag, error) : nullptr;
}

IKelvraError* FiltrixFillTile(KelvraTag tag, IKelvraTile* tile, IKelvraDataSource* source,
                              KelvraPixelFormat outputFormat, long dx, long dy, const FiltrixRowMaker& make)
{
    KelvraRect toFill;
    if (!tile->GetRectToFill(&toFill))
        return nullptr;
    KelvraRect full;
    tile->GetRect(&full);
    void* buffer = nullptr;
    if (IKelvraError* error = tile->Lock(&buffer))
        return KELVRA_WRAP(nullptr, tag, error);
    const CKelvraFilterBase::CPixelPtr out(buffer, outputFormat, tile->GetRowBytes());
    const KelvraRect wanted(toFill.left + dx, toFill.top + dy, toFill.right + dx, toFill.bottom + dy);
    IKelvraError* error = FiltrixReadRuns(tag, source, wanted, [&](const FiltrixSourceRun& run) {
        const long x = run.x - dx, y = run.y - dy;
        make({run.pixels, out.At(x - full.left, y - full.top), run.count, x, y});
    });
    tile->Unlock();
    if (error)
        return error;
    tile->SetComplete();
    return nullptr;
}
