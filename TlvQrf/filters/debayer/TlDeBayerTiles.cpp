// The tile walk of the demosaicing filters. Everything a tile needs lives
// on this call's stack, so the framework may make tiles on several threads.
#include "filters/debayer/TlDeBayerFilterBase.h"
#include "filters/debayer/TlDeBayerOutput.h"
#include "filters/debayer/TlMosaicReader.h"

#include <new>

IKelvraError* CDeBayerFilterBase::GenerateDemosaicedTile(IKelvraTile* tile, CKelvraProcessInfo* info, long margin,
                                                         Engine engine)
{
    if (!tile)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    KelvraRect toFill;
    if (!tile->GetRectToFill(&toFill) || toFill.IsEmpty())
        return nullptr;
    KelvraRect full;
    tile->GetRect(&full);

    const std::int32_t* tables[3] = {};
    if (!m_tables.Prepare(tables))
        return TL_FILTER_ERROR(kKelvraOutOfMemory);

    std::vector<IKelvraDataSource*> sources;
    try {
        sources = SourcesFor(info);
    } catch (const std::bad_alloc&) {
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    }
    IKelvraDataSource* source = sources.empty() ? nullptr : sources[0];
    if (!source)
        return TL_FILTER_ERROR(kKelvraNotReady);
    long sourceWidth = 0, sourceHeight = 0;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = source->GetSize(&sourceWidth, &sourceHeight))
        return TL_FILTER_WRAP(error);
    if (IKelvraError* error = source->GetColorSpace(&format))
        return TL_FILTER_WRAP(error);
    if (format != GetInputColorSpace())
        return TL_FILTER_TEXT(kTlBadSourceColorSpace);
    if (sourceWidth <= 0 || sourceHeight <= 0)
        return TL_FILTER_ERROR(kKelvraNotReady);

    const CTlDeBayerOutput output{m_pixelAspectMode, m_outputRect.left, m_outputRect.top};
    const KelvraRect area = output.SourceAreaFor(toFill);
    const KelvraRect block(area.left - margin, area.top - margin, area.right + margin, area.bottom + margin);
    CTlMosaicPlane raw;
    CTlRgbPlane rgb;
    try {
        if (IKelvraError* error = TlReadMosaicBlock(source, sourceWidth, sourceHeight, block, m_phases, tables, raw))
            return TL_FILTER_WRAP(error);
        rgb.width = raw.width;
        rgb.height = raw.height;
        rgb.samples.resize(std::size_t(3 * rgb.width * rgb.height));
        const KelvraRect inner(margin, margin, raw.width - margin, raw.height - margin);
        if (IKelvraError* error = engine(raw, inner, rgb))
            return error;
    } catch (const std::bad_alloc&) {
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    }

    void* buffer = nullptr;
    if (IKelvraError* error = tile->Lock(&buffer))
        return TL_FILTER_WRAP(error);
    output.Write(rgb, block.left, block.top, toFill, full, static_cast<unsigned char*>(buffer), tile->GetRowBytes());
    tile->Unlock();
    tile->SetComplete();
    return nullptr;
}
