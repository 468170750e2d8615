// The pixel work of the auto-brightness filter: every sample of grey and
// RGB data, or only the first sample of the three-sample layouts, is
// stretched between the levels; other formats pass unchanged.
#include "filters/autobrightness/TlAutoBrightnessFilter.h"

#include "filters/autobrightness/TlBrightnessStretch.h"
#include "filters/frame/TlPassThrough.h"
#include "filters/frame/TlPixelFormats.h"
#include "filters/frame/TlPixelRows.h"

namespace {

enum class StretchedSamples { All, First, None };

StretchedSamples SamplesToStretch(KelvraPixelFormat format)
{
    if (format == kKelvraGrey8 || format == kKelvraRGB8 || format == kKelvraGrey16 || format == kKelvraRGB16)
        return StretchedSamples::All;
    if ((format >= kKelvraLCh8 && format <= kTlThreeSample8Last) ||
        (format >= kKelvraLCh16 && format <= kTlThreeSample16Last))
        return StretchedSamples::First;
    return StretchedSamples::None;
}

template <typename Sample, int Channels>
void StretchAll(const CTlTileTarget& target, const CTlSourceTile& from, const CTlBrightnessStretch& stretch)
{
    TlForEachPixel<Sample, Channels>(target, from, [&](const Sample* in, Sample* out) {
        for (int c = 0; c < Channels; ++c)
            out[c] = stretch.Map(in[c]);
    });
}

template <typename Sample>
void StretchFirst(const CTlTileTarget& target, const CTlSourceTile& from, const CTlBrightnessStretch& stretch)
{
    TlForEachPixel<Sample, 3>(target, from, [&](const Sample* in, Sample* out) {
        out[0] = stretch.Map(in[0]);
        out[1] = in[1];
        out[2] = in[2];
    });
}

IKelvraError* StretchSourceTile(const CTlTileTarget& target, const CTlSourceTile& from,
                                const CTlBrightnessStretch& stretch)
{
    const KelvraPixelFormat format = target.sourceFormat;
    const bool wide = KelvraBitsPerSample(format) == 16;
    const bool grey = KelvraPlaneCount(format) == 1;
    switch (SamplesToStretch(format)) {
    case StretchedSamples::All:
        if (wide)
            grey ? StretchAll<std::uint16_t, 1>(target, from, stretch)
                 : StretchAll<std::uint16_t, 3>(target, from, stretch);
        else
            grey ? StretchAll<std::uint8_t, 1>(target, from, stretch)
                 : StretchAll<std::uint8_t, 3>(target, from, stretch);
        return nullptr;
    case StretchedSamples::First:
        wide ? StretchFirst<std::uint16_t>(target, from, stretch) : StretchFirst<std::uint8_t>(target, from, stretch);
        return nullptr;
    case StretchedSamples::None:
        break;
    }
    return TlCopySourceRows(target, from);
}

} // namespace

IKelvraError* CAutoBrightnessFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    // Made per tile from the settings alone: tiles made at once share
    // nothing that changes.
    const CTlBrightnessStretch stretch(TlStretchSettings{m_useBlackLevel ? GetLowLevel(kAllChannels) : 0,
                                                         GetHighLevel(kAllChannels), m_applyLevels,
                                                         m_exposureCompensation});
    auto worker = [&stretch](const CTlTileTarget& target, const CTlSourceTile& from) {
        return StretchSourceTile(target, from, stretch);
    };
    return GenerateFromSourceTiles(tile, info, CTlFormatCheck{}, worker);
}
