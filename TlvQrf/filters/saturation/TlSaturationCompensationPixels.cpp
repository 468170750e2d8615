// The pixel work of the saturation compensation: chroma times the gain of
// its pixel's lightness; lightness and hue are copied.
#include "filters/saturation/TlSaturationCompensationFilter.h"

#include "filters/frame/TlPixelFormats.h"
#include "filters/frame/TlPixelRows.h"

namespace {

enum { kL = 0, kC = 1, kH = 2, kChannels = 3 };
// Gains are in 128ths.
constexpr int kGainShift = 7;

} // namespace

IKelvraError* CSaturationCompensationFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    auto compensate = [this](const CTlTileTarget& target, const CTlSourceTile& from) {
        return CompensateSourceTile(target, from);
    };
    return GenerateFromSourceTiles(tile, info, CTlFormatCheck{TlIsLch, TlFormatRejection::Text}, compensate);
}

void CSaturationCompensationFilter::BuildGainsOnce()
{
    // Tiles are made on several threads at once: the first one builds.
    std::lock_guard<std::mutex> guard(m_gainLock);
    if (!m_gainStale)
        return;
    TlBuildSaturationGains(TlUsesSecondGainSet(m_toneMode) ? 1 : 0, m_level, m_gainTable);
    m_gainStale = false;
}

IKelvraError* CSaturationCompensationFilter::CompensateSourceTile(const CTlTileTarget& target,
                                                                  const CTlSourceTile& from)
{
    BuildGainsOnce();
    if (KelvraIs16Bit(target.sourceFormat))
        CompensatePixels<std::uint16_t>(target, from, 8);
    else
        CompensatePixels<std::uint8_t>(target, from, 0);
    return nullptr;
}

template <typename Sample>
void CSaturationCompensationFilter::CompensatePixels(const CTlTileTarget& target, const CTlSourceTile& from,
                                                     int lightnessShift) const
{
    const int* gains = m_gainTable;
    TlForEachPixel<Sample, kChannels>(target, from, [&](const Sample* in, Sample* out) {
        out[kL] = in[kL];
        out[kC] = Sample((unsigned(in[kC]) * unsigned(gains[in[kL] >> lightnessShift])) >> kGainShift);
        out[kH] = in[kH];
    });
}
