// The tile walk of the demosaicing filters. A tile works only in its
// own borrowed workspace, so the framework may make tiles on several
// threads at once.
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

    const std::vector<IKelvraDataSource*>* sources = nullptr;
    if (IKelvraError* error = InputSources(info, &sources))
        return error;
    IKelvraDataSource* source = (*sources)[0];
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
    const long factor = ReductionFor(sourceWidth, sourceHeight);
    if (factor > 1)
        return GenerateReducedTile(tile, source, sourceWidth, sourceHeight, tables, factor);

    const CTlDeBayerOutput output{m_pixelAspectMode, m_outputRect.left, m_outputRect.top};
    const KelvraRect area = output.SourceAreaFor(toFill);
    const KelvraRect block(area.left - margin, area.top - margin, area.right + margin, area.bottom + margin);
    CTlDeBayerWorkspaceLease lease;
    if (!lease)
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    CTlDeBayerWorkspace& work = *lease;
    IKelvraError* error = Demosaic(work, source, sourceWidth, sourceHeight, block, margin, tables, engine);
    if (!error) {
        void* buffer = nullptr;
        error = tile->Lock(&buffer);
        if (error) {
            error = TL_FILTER_WRAP(error);
        } else {
            output.Write(work.rgb, block.left, block.top, toFill, full, static_cast<unsigned char*>(buffer),
                         tile->GetRowBytes());
            tile->Unlock();
            tile->SetComplete();
        }
    }
    return error;
}

IKelvraError* CDeBayerFilterBase::Demosaic(CTlDeBayerWorkspace& work, IKelvraDataSource* source, long sourceWidth,
                                           long sourceHeight, const KelvraRect& block, long margin,
                                           const std::int32_t* const (&tables)[3], Engine engine) const
{
    try {
        if (IKelvraError* error =
                TlReadMosaicBlock(source, sourceWidth, sourceHeight, block, m_phases, tables, work.raw))
            return TL_FILTER_WRAP(error);
        work.rgb.width = work.raw.width;
        work.rgb.height = work.raw.height;
        work.rgb.samples.resize(std::size_t(3 * work.rgb.width * work.rgb.height));
        return engine(work, KelvraRect(margin, margin, work.raw.width - margin, work.raw.height - margin));
    } catch (const std::bad_alloc&) {
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    }
}
