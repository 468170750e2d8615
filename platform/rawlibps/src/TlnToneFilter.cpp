#include "TlnToneFilter.h"

#include "filtrix/src/FiltrixTileRows.h"

#include <cstring>
#include <mutex>

namespace {

bool AcceptsInput(KelvraPixelFormat format)
{
    const unsigned planes = KelvraPlaneCount(format);
    const unsigned bits = KelvraBitsPerSample(format);
    return (bits == 8 || bits == 16) && (planes == 1 || planes == 3);
}

KelvraPixelFormat OutputFor(KelvraPixelFormat input)
{
    return KelvraIsGrey(input) ? kKelvraGrey8 : kKelvraRGB8;
}

} // namespace

CTlnToneFilter::CTlnToneFilter(IKelvraManager* manager) : CKelvraFilterBase(manager, 1) {}

KelvraTag CTlnToneFilter::GetFilterTag() const
{
    return kTag;
}

const char* CTlnToneFilter::GetFilterName() const
{
    return "Tone";
}

std::shared_ptr<const CTlnToneTables> CTlnToneFilter::Tables() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_tables;
}

IKelvraError* CTlnToneFilter::SetTables(std::shared_ptr<const CTlnToneTables> tables, bool notify)
{
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        m_tables = std::move(tables);
    }
    m_stale = true;
    return NotifyChanged(notify);
}

IKelvraError* CTlnToneFilter::GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                                    KelvraPixelFormat* format)
{
    KelvraPixelFormat input = 0;
    if (IKelvraError* error = CKelvraFilterBase::GetFilteredColorSpace(sources, count, &input))
        return KELVRA_WRAP(nullptr, kTag, error);
    *format = OutputFor(input);
    return nullptr;
}

IKelvraError* CTlnToneFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    IKelvraDataSource* source = nullptr;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = FiltrixFirstSource(kTag, SourcesFor(info), AcceptsInput, &source, &format))
        return error;
    const std::shared_ptr<const CTlnToneTables> tables = Tables();
    if (!tables)
        return KELVRA_ERROR(nullptr, kTag, kKelvraNotReady);
    const KelvraPixelFormat output = OutputFor(format);
    const long planes = long(KelvraPlaneCount(format));
    const bool wide = KelvraIs16Bit(format);
    const bool grey = output == kKelvraGrey8;
    return FiltrixFillTile(kTag, tile, source, output, 0, 0, [&](const FiltrixRowRun& run) {
        std::uint16_t in[3];
        std::uint8_t rgb[3];
        const std::uint8_t* from = run.source;
        std::uint8_t* to = run.target;
        for (long i = 0; i < run.count; ++i) {
            for (long c = 0; c < planes; ++c) {
                if (wide)
                    std::memcpy(&in[c], from + 2 * c, 2);
                else
                    in[c] = std::uint16_t(from[c] * 257);
            }
            from += planes * (wide ? 2 : 1);
            tables->Develop(in, planes, rgb);
            if (grey) {
                *to++ = rgb[0];
            } else {
                std::memcpy(to, rgb, 3);
                to += 3;
            }
        }
    });
}
