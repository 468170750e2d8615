#include "params/TlWhiteBalanceFactors.h"

#include "params/TlLutTable.h"
#include "params/TlvParamSet.h"
#include "raw/TlQuietTagReads.h"

#include "settings/whitebalance/TlWhiteBalance.h"

#include <cmath>

namespace {

constexpr int kRampEntries = 4096;

// Red and blue gains relative to the as-shot multipliers; 1.0 and 1.0 as shot.
void ApplyWhiteBalance(const CTlvParamSet& params, STlChannelFactors& factors)
{
    CTlWhiteBalanceState* balance = params.WhiteBalance();
    if (balance == nullptr || balance->mode == CTlWhiteBalanceState::kModeAsShot)
        return;
    if (balance->mode == CTlWhiteBalanceState::kModeTemperature)
        KelvinToChannelGains(balance->preset, balance->temperature, &balance->firstGain, &balance->secondGain,
                             static_cast<std::int16_t>(params.modelCode));
    factors.red = SaneMultiplier(balance->firstGain) / SaneMultiplier(params.asShotRed);
    factors.blue = SaneMultiplier(balance->secondGain) / SaneMultiplier(params.asShotBlue);
}

double ExposureFactor(const CTlvParamSet& params)
{
    const double recorded = SaneMultiplier(ReadDoubleTagOr(params.tags, kTlvExposureFactorTag, 1.0));
    const CTlAdjustState* adjust = params.Adjust();
    if (adjust == nullptr)
        return recorded;
    const double ev = adjust->ExposureCompensation();
    if (ev == 0.0 || !std::isfinite(ev))
        return recorded;
    return std::exp2(ev) * recorded;
}

} // namespace

STlChannelFactors WhiteBalanceExposureFactors(const CTlvParamSet& params)
{
    STlChannelFactors factors;
    ApplyWhiteBalance(params, factors);
    const double exposure = ExposureFactor(params);
    factors.red *= exposure;
    factors.green = exposure;
    factors.blue *= exposure;
    return factors;
}

void FillScaledRamp12(std::uint16_t* table, double factor)
{
    for (int i = 0; i < kRampEntries; ++i) {
        const double entry = 16.0 * i;
        table[i] = factor == 1.0 ? static_cast<std::uint16_t>(entry) : ToneTableEntry(entry * factor);
    }
}
