// Sets an unsharp-mask filter up for one of the development's own
// sharpenings, or switches it off when there is none.
#include "params/TlSharpeningPresets.h"

#include "filtrix/UnsharpMaskFilter.h"
#include "params/TlUsmRangeBand.h"
#include "params/TlvParamSet.h"

#include <algorithm>

namespace {

// Record radius and threshold are in fifths; amount in twentieths.
constexpr double kRecordUnit = 0.2;
constexpr double kAmountUnit = 0.05;
// Below half a pixel the mask would not blur: a one-pixel mask with the
// power scaled down in proportion stands in for it.
constexpr double kSmallestRadius = 0.5;

void Released(IKelvraError* error)
{
    IKelvraError::Release(error);
}

void Configure(CUnsharpMaskFilter& filter, const CTlUsmState& usm, double scale, double aspectDivisor)
{
    const STlUsmValues values = UsmValuesFor(usm, scale, aspectDivisor);
    Released(filter.SetAffectNoise(false, true));
    SetUsmRangeBand(&filter, 0);
    Released(filter.SetThreshold(values.threshold, true));
    Released(filter.SetRadii(values.radius, values.secondRadius, true));
    Released(filter.SetPower(values.power, true));
    Released(filter.SetMaskMethod(kUsmMaskGaussian, true));
    Released(filter.Enable(true, true));
}

bool Apply(bool (*get)(const CTlvParamSet*, CTlUsmState*), const CTlvParamSet* params, CUnsharpMaskFilter* filter,
           double scale, double aspectDivisor)
{
    CTlUsmState usm;
    const bool sharpen = get(params, &usm);
    if (!filter)
        return sharpen;
    if (!sharpen) {
        Released(filter->Enable(false, true));
        return false;
    }
    Configure(*filter, usm, scale, aspectDivisor);
    return true;
}

} // namespace

STlUsmValues UsmValuesFor(const CTlUsmState& usm, double scale, double aspectDivisor)
{
    // Scale and pixel aspect that would make the radii meaningless count as 1.
    scale = SaneMultiplier(scale);
    aspectDivisor = SaneMultiplier(aspectDivisor);
    const double r = usm.Radius() * scale * kRecordUnit;
    double radius = 1.0;
    double power = usm.Amount() * r * kAmountUnit;
    if (r >= kSmallestRadius) {
        radius = r;
        power = usm.Amount() * kAmountUnit;
    }
    // The filter refuses radii past its reach and powers that would invert
    // detail; keep the sharpening at its widest and strongest instead.
    return {std::min(radius, kUsmMaxRadius), std::min(radius / aspectDivisor, kUsmMaxRadius),
            std::max(power, kUsmMinPower), usm.Threshold() * kRecordUnit};
}

bool ApplyCameraSharpening(const CTlvParamSet* params, CUnsharpMaskFilter* filter, double scale, double aspectDivisor)
{
    return Apply(GetCameraSharpening, params, filter, scale, aspectDivisor);
}

bool ApplyMixerSharpening(const CTlvParamSet* params, CUnsharpMaskFilter* filter, double scale, double aspectDivisor)
{
    return Apply(GetMixerSharpening, params, filter, scale, aspectDivisor);
}
