#include "filters/channelmixer/TlChannelMixerFilter.h"

#include "filters/frame/TlPixelFormats.h"

#include <cstdint>

namespace {

struct MixerFormat {
    KelvraPixelFormat format;
    int channels;
};

// The layouts the mixer reads; the others it refuses.
const MixerFormat kMixerFormats[] = {
    {kKelvraGrey8, 1}, {kKelvraGrey16, 1}, {kKelvraRGB8, 3},          {kKelvraLCh8, 3},  {kKelvraRGB16, 3},
    {kKelvraLCh16, 3}, {kKelvraLab16, 3},  {kTlThreeSample16Last, 3}, {kKelvraCMYK8, 4},
};

int MixerChannels(KelvraPixelFormat format)
{
    for (const MixerFormat& known : kMixerFormats) {
        if (known.format == format)
            return known.channels;
    }
    return 0;
}

bool IsMixerFormat(KelvraPixelFormat format)
{
    return MixerChannels(format) != 0;
}

} // namespace

CChannelMixerFilter::CChannelMixerFilter(IKelvraManager* manager) : CTlFilter(manager) {}

IKelvraError* CChannelMixerFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    auto mix = [this](const CTlTileTarget& target, const CTlSourceTile& from) { return MixSourceTile(target, from); };
    return GenerateFromSourceTiles(tile, info, CTlFormatCheck{IsMixerFormat, TlFormatRejection::Code}, mix);
}

IKelvraError* CChannelMixerFilter::MixSourceTile(const CTlTileTarget& target, const CTlSourceTile& from) const
{
    const int channels = MixerChannels(target.sourceFormat);
    if (channels != m_channelCount) // checked before anything is written
        return TL_FILTER_ERROR(kKelvraUnsupportedFormat);
    const KelvraRect rows = from.overlap.Intersection(target.toFill);
    const bool wide = KelvraIs16Bit(target.sourceFormat);
    for (long y = rows.top; y < rows.bottom; ++y) {
        const unsigned char* in = from.At(rows.left, y);
        unsigned char* out = target.At(rows.left, y);
        if (wide) {
            TlMixRow(reinterpret_cast<const std::uint16_t*>(in), reinterpret_cast<std::uint16_t*>(out),
                     rows.Width(), channels, m_weights);
        } else {
            TlMixRow(in, out, rows.Width(), channels, m_weights);
        }
    }
    return nullptr;
}
