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
    Released(filter.SetAffectNoise(false, true));
    SetUsmRangeBand(&filter, 0);
    Released(filter.SetThreshold(usm.Threshold() * kRecordUnit, true));
    const double r = usm.Radius() * scale * kRecordUnit;
    double radius = 1.0;
    double power = usm.Amount() * r * kAmountUnit;
    if (r >= kSmallestRadius) {
        radius = r;
        power = usm.Amount() * kAmountUnit;
    }
    // The filter refuses radii past its reach; keep the sharpening at its widest.
    Released(filter.SetRadii(std::min(radius, kUsmMaxRadius), std::min(radius / aspectDivisor, kUsmMaxRadius), true));
    Released(filter.SetPower(power, true));
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
    // Scale and pixel aspect that would make the radii meaningless count as 1.
    Configure(*filter, usm, SaneMultiplier(scale), SaneMultiplier(aspectDivisor));
    return true;
}

} // namespace

bool ApplyCameraSharpening(const CTlvParamSet* params, CUnsharpMaskFilter* filter, double scale, double aspectDivisor)
{
    return Apply(GetCameraSharpening, params, filter, scale, aspectDivisor);
}

bool ApplyMixerSharpening(const CTlvParamSet* params, CUnsharpMaskFilter* filter, double scale, double aspectDivisor)
{
    return Apply(GetMixerSharpening, params, filter, scale, aspectDivisor);
}
