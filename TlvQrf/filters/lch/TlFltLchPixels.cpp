// The pixel work of the LCH editor: lightness and hue through their curves,
// chroma by the change its hue's curve gives, under the chroma rule.
#include "filters/lch/TlFltLch.h"

#include "filters/frame/TlPixelFormats.h"
#include "filters/frame/TlPixelRows.h"
#include "filters/lch/TlChromaRule.h"
#include "filters/lch/TlLightnessRatio.h"

namespace {

enum { kL = 0, kC = 1, kH = 2, kChannels = 3 };

} // namespace

IKelvraError* CFltLch::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    auto edit = [this](const CTlTileTarget& target, const CTlSourceTile& from) { return EditSourceTile(target, from); };
    return GenerateFromSourceTiles(tile, info, CTlFormatCheck{TlIsLch, TlFormatRejection::Code}, edit);
}

IKelvraError* CFltLch::EditSourceTile(const CTlTileTarget& target, const CTlSourceTile& from)
{
    for (const Table& table : m_sourceTables) {
        if (table.empty())
            return TL_FILTER_ERROR(kKelvraOperationFailed);
    }
    if (m_thresholdSource.empty())
        return TL_FILTER_ERROR(kKelvraOperationFailed);
    const int bits = int(KelvraBitsPerSample(target.sourceFormat));
    if (IKelvraError* error = PrepareOnce(bits))
        return TL_FILTER_WRAP(error);
    if (bits == 8)
        EditPixels<std::uint8_t>(target, from, bits);
    else
        EditPixels<std::uint16_t>(target, from, bits);
    return nullptr;
}

template <typename Sample>
void CFltLch::EditPixels(const CTlTileTarget& target, const CTlSourceTile& from, int bits) const
{
    const CTlChromaRule rule = MakeChromaRule(bits);
    const std::uint16_t* lightness = m_preparedCurves[kLightnessCurve].data();
    const std::uint16_t* hue = m_preparedCurves[kHueCurve].data();
    const std::int16_t* change = m_chromaChange.data();
    TlForEachPixel<Sample, kChannels>(target, from, [&](const Sample* in, Sample* out) {
        const Sample l = in[kL], c = in[kC], h = in[kH];
        out[kL] = Sample(lightness[l]);
        out[kC] = Sample(rule(l, c, h, change[h]));
        out[kH] = Sample(hue[h]);
    });
}

template <typename Sample>
unsigned CFltLch::AdjustChromaOf(Sample lightness, Sample chroma, Sample hue, int change, KelvraPixelFormat format,
                                 unsigned levels) const
{
    const unsigned threshold = m_thresholdTable.size() > hue ? m_thresholdTable[hue] : 0;
    const int percent = TlWeightedChange(change, GetLightnessRatioTable(format)[lightness]);
    if (percent == 0)
        return chroma;
    return TlScaleChroma(TlChromaFactor(percent), chroma, threshold, levels);
}

unsigned CFltLch::AdjustChroma(std::uint8_t lightness, std::uint8_t chroma, std::uint8_t hue, int change,
                               KelvraPixelFormat format, unsigned levels) const
{
    return AdjustChromaOf(lightness, chroma, hue, change, format, levels);
}

unsigned CFltLch::AdjustChroma(std::uint16_t lightness, std::uint16_t chroma, std::uint16_t hue, int change,
                               KelvraPixelFormat format, unsigned levels) const
{
    return AdjustChromaOf(lightness, chroma, hue, change, format, levels);
}
