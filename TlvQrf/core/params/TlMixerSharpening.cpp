// The sharpening that goes with the channel mixer's three sharpening levels.
#include "params/TlSharpeningPresets.h"

#include "params/TlvParamSet.h"

namespace {

constexpr std::uint16_t kMixerRadius = 15; // three pixels
constexpr std::int16_t kAmountPerLevel = 10;
constexpr int kMixerLevels = 3;

std::int16_t MixerAmount(const CTlLEGeneral* mixer)
{
    const int level = mixer ? mixer->MixerSharpeningLevel() : 0;
    return level >= 1 && level <= kMixerLevels ? static_cast<std::int16_t>(level * kAmountPerLevel) : 0;
}

} // namespace

bool GetMixerSharpening(const CTlvParamSet* params, CTlUsmState* record)
{
    CTlUsmState local;
    CTlUsmState& usm = record ? *record : local;
    usm = CTlUsmState(); // whole hue range: the band and the further field stay 0
    usm.SetSharpening(MixerAmount(params ? params->channelMixer : nullptr), kMixerRadius, 0);
    return usm.Amount() != 0;
}
