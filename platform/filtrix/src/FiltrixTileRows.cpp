#include "FiltrixTileRows.h"

#include "FiltrixSamples.h"
#include "filtrix/KelvraFilterBase.h"
#include "kelvra/KelvraRegion.h"

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

IKelvraError* FiltrixReadRuns(KelvraTag tag, IKelvraDataSource* source, const KelvraRect& rect,
                              const FiltrixRunReader& read)
{
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = FiltrixSourceFormat(tag, source, FiltrixIsByteFormat, &format))
        return error;
    const long pixelBytes = long(KelvraBitsPerPixel(format) / 8);
    return KelvraVisitRegion(source, rect, tag, [&](const KelvraRegionTile& tile) -> IKelvraError* {
        const KelvraRect& part = tile.part;
        for (long y = part.top; y < part.bottom; ++y)
            read({tile.At(part.left, y, pixelBytes), part.Width(), part.left, y});
        return nullptr;
    });
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
