// How the colour filter makes a tile: the source's pixels of the tile go
// through the input tables, the engine and the output tables.
#include "KelvraFilterCMLFormats.h"
#include "KelvraFilterCMLSamples.h"
#include "KelvraFilterCMLTables.h"

#include <new>
#include <vector>

namespace {

IKelvraError* Wrapped(IKelvraError* error)
{
    return error ? KELVRA_WRAP(nullptr, kCmlFilterTag, error) : nullptr;
}

// The pixels of `rect` of `source`, packed row after row.
IKelvraError* ReadSource(IKelvraDataSource* source, KelvraPixelFormat format, const KelvraRect& rect,
                         std::vector<unsigned char>* pixels)
{
    try {
        pixels->resize(std::size_t(KelvraRowBytes(format, rect.Width())) * std::size_t(rect.Height()));
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kCmlFilterTag, kKelvraOutOfMemory);
    }
    return Wrapped(KelvraReadRect(source, rect, pixels->data(), KelvraRowBytes(format, rect.Width())));
}

} // namespace

IKelvraError* CKelvraFilterCML::OutputFormat(const CSettings& settings, KelvraPixelFormat sourceFormat,
                                             KelvraPixelFormat* format) const
{
    if (settings.engine)
        return Wrapped(settings.engine->GetOutputFormat(settings.bits[1], format));
    *format = CmlFormatOf(CmlSpaceOf(sourceFormat), settings.bits[1]);
    return *format ? nullptr : KELVRA_ERROR(nullptr, kCmlFilterTag, kKelvraUnsupportedFormat);
}

IKelvraError* CKelvraFilterCML::GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                                      KelvraPixelFormat* format)
{
    if (!format)
        return KELVRA_ERROR(nullptr, kCmlFilterTag, kKelvraMissingObject);
    KelvraPixelFormat sourceFormat = 0;
    if (IKelvraError* error = CKelvraFilterBase::GetFilteredColorSpace(sources, count, &sourceFormat))
        return error;
    return OutputFormat(TakeSettings(), sourceFormat, format);
}

IKelvraError* CKelvraFilterCML::CheckCache()
{
    CKelvraFilterCMLEngine* engine = GetCMLEngine();
    const unsigned long generation = engine ? engine->GetGeneration() : 0;
    if (m_seenGeneration.exchange(generation) != generation)
        m_stale = true;
    return CKelvraFilterBase::CheckCache();
}

IKelvraError* CKelvraFilterCML::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    KelvraRect toFill, full;
    if (!tile->GetRectToFill(&toFill))
        return nullptr;
    tile->GetRect(&full);
    const std::vector<IKelvraDataSource*>& sources = SourcesFor(info);
    if (sources.empty() || !sources[0])
        return KELVRA_ERROR(nullptr, kCmlFilterTag, kKelvraNotReady);
    const CSettings settings = TakeSettings();
    KelvraPixelFormat inFormat = 0, outFormat = 0;
    IKelvraError* error = Wrapped(sources[0]->GetColorSpace(&inFormat));
    if (!error)
        error = OutputFormat(settings, inFormat, &outFormat);
    if (!error && (CmlSpaceOf(inFormat) == CmlSpace::kNone || CmlSpaceOf(outFormat) == CmlSpace::kNone))
        error = KELVRA_ERROR(nullptr, kCmlFilterTag, kKelvraUnsupportedFormat);
    std::vector<unsigned char> input;
    if (!error)
        error = ReadSource(sources[0], inFormat, toFill, &input);
    if (error)
        return error;

    const unsigned inBits = KelvraBitsPerSample(inFormat), outBits = KelvraBitsPerSample(outFormat);
    const unsigned inChannels = KelvraPlaneCount(inFormat), outChannels = KelvraPlaneCount(outFormat);
    const std::size_t width = std::size_t(toFill.Width());
    const long inRowBytes = KelvraRowBytes(inFormat, toFill.Width());
    void* buffer = nullptr;
    if (IKelvraError* lockError = tile->Lock(&buffer))
        return Wrapped(lockError);
    CPixelPtr out(buffer, outFormat, tile->GetRowBytes());
    for (long y = 0; !error && y < toFill.Height(); ++y) {
        unsigned char* inRow = input.data() + std::size_t(y) * std::size_t(inRowBytes);
        unsigned char* outRow = out.At(toFill.left - full.left, toFill.top - full.top + y);
        if (settings.tables[0])
            settings.tables[0]->Apply(inRow, inBits, inChannels, width);
        if (settings.engine)
            error = Wrapped(settings.engine->Convert(inRow, inFormat, outRow, outFormat, toFill.Width()));
        else
            CmlCopySamples(inRow, inBits, outRow, outBits, width * inChannels);
        if (!error && settings.tables[1])
            settings.tables[1]->Apply(outRow, outBits, outChannels, width);
    }
    tile->Unlock();
    if (error)
        return error;
    tile->SetComplete();
    return nullptr;
}
