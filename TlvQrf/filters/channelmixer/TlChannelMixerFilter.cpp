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
    {kTlFormatGrey8, 1},        {kTlFormatGrey16, 1},       {kTlFormatRgb8, 3},
    {kTlFormatThree8First, 3},  {kTlFormatRgb16, 3},        {kTlFormatThree16First, 3},
    {0x10060204, 3},            {kTlFormatThree16Last, 3},  {kTlFormatCmyk8, 4},
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
