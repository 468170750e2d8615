#include "params/TlVignetteParams.h"

#include "filters/vignette/TlVignetteFilter.h"
#include "params/TlVignetteLens.h"
#include "params/TlvParamSet.h"
#include "raw/TlQuietTagReads.h"

#include <cstdint>

namespace {

// The f-number given when the lens model could not be set up.
constexpr double kNoLensFNumber = 1.0;

int Percentage(const CTlvParamSet& params)
{
    const CTlVignetteState* vignette = params.Vignette();
    return vignette != nullptr ? static_cast<std::int16_t>(vignette->value) : 0;
}

IKelvraError* SetSensor(const IKelvraTagControl* tags, CVignetteFilter& filter)
{
    double diagonal = 0.0;
    if (ReadSensorDiagonal(tags, &diagonal))
        return filter.SetSensorDiagonal(diagonal, true);
    return filter.SetDefaultSensorSize(true);
}

// The sensor and the lens; the f-number to use.
double SetSensorAndLens(const IKelvraTagControl* tags, CVignetteFilter& filter)
{
    TlVignetteLens lens;
    IKelvraError* error = SetSensor(tags, filter);
    if (error == nullptr)
        error = ReadVignetteLens(tags, &lens);
    if (error == nullptr)
        error = filter.SetLensData(lens.hasLensData ? lens.lensData : nullptr, true);
    return Succeeded(error) ? lens.fNumber : kNoLensFNumber;
}

} // namespace

IKelvraError* SetVignetteParams(const CTlvParamSet& params, CVignetteFilter& filter, double aspectScale)
{
    const int percentage = Percentage(params);
    if (percentage == 0)
        return filter.Enable(false, true);
    const double fNumber = SetSensorAndLens(params.tags, filter);
    IKelvraError* error = filter.SetFNumber(fNumber, true);
    if (error == nullptr)
        error = filter.SetStrength(percentage * 0.01, true);
    if (error == nullptr)
        error = filter.SetAspectScale(SaneMultiplier(aspectScale), true);
    if (error == nullptr)
        error = filter.Enable(true, true);
    if (Succeeded(error))
        return nullptr;
    return filter.Enable(false, true);
}
