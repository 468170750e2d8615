// The pixel work of the chroma booster: one chroma change for the whole
// image, under the LCH editor's chroma rule; lightness and hue are copied.
#include "filters/chromabooster/TlChromaBoosterFilter.h"

#include "filters/frame/TlPixelFormats.h"
#include "filters/frame/TlPixelRows.h"
#include "filters/lch/TlChromaRule.h"

namespace {

enum { kL = 0, kC = 1, kH = 2, kChannels = 3 };

} // namespace

IKelvraError* CChromaBoosterFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    if (!IsCalibrationLoaded() || GetThresholdSource().empty())
        return TL_FILTER_ERROR(kKelvraOperationFailed);
    auto boost = [this](const CTlTileTarget& target, const CTlSourceTile& from) {
        return BoostSourceTile(target, from);
    };
    return GenerateFromSourceTiles(tile, info, CTlFormatCheck{TlIsLch, TlFormatRejection::Code}, boost);
}

bool CChromaBoosterFilter::NeedsPreparing(int bits) const
{
    // While the threshold is off its prepared table is neither built nor
    // rebuilt: switching it back on finds the parked one.
    return m_thresholdEnabled && (IsThresholdStale() || bits != GetPreparedBits());
}

IKelvraError* CChromaBoosterFilter::BoostSourceTile(const CTlTileTarget& target, const CTlSourceTile& from)
{
    const int bits = int(KelvraBitsPerSample(target.sourceFormat));
    if (IKelvraError* error = PrepareOnce(bits))
        return TL_FILTER_WRAP(error);
    if (bits == 8)
        BoostPixels<std::uint8_t>(target, from, bits);
    else
        BoostPixels<std::uint16_t>(target, from, bits);
    return nullptr;
}

template <typename Sample>
void CChromaBoosterFilter::BoostPixels(const CTlTileTarget& target, const CTlSourceTile& from, int bits) const
{
    const CTlChromaRule rule = MakeChromaRule(bits);
    const int level = m_level;
    TlForEachPixel<Sample, kChannels>(target, from, [&](const Sample* in, Sample* out) {
        out[kL] = in[kL];
        out[kC] = Sample(rule(in[kL], in[kC], in[kH], level));
        out[kH] = in[kH];
    });
}
