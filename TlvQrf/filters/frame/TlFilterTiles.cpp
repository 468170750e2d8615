// The tile-generation contract of CTlFilter: read what the tile needs, check
// the source, then walk the source tiles under it with the filter's worker.
#include "filters/frame/TlFilter.h"

#include "kelvra/KelvraRegion.h"

#include <new>
#include <vector>

const char kTlBadSourceColorSpace[] = "Bad source data color space";

IKelvraError* CTlFilter::GenerateFromSourceTiles(IKelvraTile* tile, CKelvraProcessInfo* info,
                                                 const CTlFormatCheck& check, TlTileWorker worker,
                                                 TlNeededSource needed)
{
    if (!worker)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    auto walk = [&](const CTlTileTarget& target) {
        return WalkSourceTiles(target, needed ? needed(target) : target.toFill, worker);
    };
    return GenerateTarget(tile, info, check, walk);
}

IKelvraError* CTlFilter::GenerateTarget(IKelvraTile* tile, CKelvraProcessInfo* info, const CTlFormatCheck& check,
                                        TlTargetWorker worker)
{
    if (!tile || !worker)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    KelvraRect toFill;
    if (!tile->GetRectToFill(&toFill))
        return nullptr;
    KelvraRect full;
    tile->GetRect(&full);

    const std::vector<IKelvraDataSource*>* sources = nullptr;
    if (IKelvraError* error = InputSources(info, &sources))
        return error;
    IKelvraDataSource* source = (*sources)[0];
    KelvraPixelFormat sourceFormat = 0;
    long width = 0, height = 0;
    if (IKelvraError* error = CheckSource(source, check, &sourceFormat, &width, &height))
        return error;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = GetFilteredColorSpace(sources->data(), long(sources->size()), &format))
        return TL_FILTER_WRAP(error);

    void* buffer = nullptr;
    if (IKelvraError* error = tile->Lock(&buffer))
        return TL_FILTER_WRAP(error);
    const CTlTileTarget target{toFill, full, CPixelPtr(buffer, format, tile->GetRowBytes()), format,
                               source, sourceFormat, width, height};
    IKelvraError* error = worker(target);
    tile->Unlock();
    if (error)
        return error;
    tile->SetComplete();
    return nullptr;
}

IKelvraError* CTlFilter::CheckSource(IKelvraDataSource* source, const CTlFormatCheck& check,
                                     KelvraPixelFormat* format, long* width, long* height) const
{
    if (IKelvraError* error = source->GetSize(width, height))
        return TL_FILTER_WRAP(error);
    if (IKelvraError* error = source->GetColorSpace(format))
        return TL_FILTER_WRAP(error);
    if (check.accepts && !check.accepts(*format)) {
        return check.rejection == TlFormatRejection::Text ? TL_FILTER_TEXT(kTlBadSourceColorSpace)
                                                          : TL_FILTER_ERROR(kKelvraUnsupportedFormat);
    }
    return nullptr;
}

IKelvraError* CTlFilter::WalkSourceTiles(const CTlTileTarget& target, const KelvraRect& needed,
                                         TlTileWorker worker) const
{
    const long pixelBytes = long(KelvraBitsPerPixel(target.sourceFormat) + 7) / 8;
    // A failed lock comes back under the filter's tag; a worker's failure as
    // the worker tagged it.
    return KelvraVisitRegion(target.source, needed, GetFilterTag(), [&](const KelvraRegionTile& tile) {
        CTlSourceTile sourceTile;
        sourceTile.data = tile.data;
        sourceTile.tileRect = tile.tile;
        sourceTile.overlap = tile.part;
        sourceTile.rowBytes = tile.rowBytes;
        sourceTile.pixelBytes = pixelBytes;
        return worker(target, sourceTile);
    });
}

IKelvraError* CTlFilter::InputSources(const CKelvraProcessInfo* info,
                                      const std::vector<IKelvraDataSource*>** sources) const
{
    *sources = &SourcesFor(info);
    if ((*sources)->empty() || (**sources)[0] == nullptr)
        return TL_FILTER_ERROR(kKelvraNotReady);
    return nullptr;
}
