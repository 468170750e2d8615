#include "params/TlSaturationCompensation.h"

#include "filters/saturation/TlSaturationCompensationFilter.h"
#include "kelvra/KelvraTagControl.h"
#include "params/TlvParamSet.h"
#include "raw/TlQuietTagReads.h"

#include <algorithm>

namespace {

int CameraLevel(const CTlvParamSet& params)
{
    std::uint8_t block[kTlColourDataSize] = {};
    if (!ReadTagQuietly(params.tags, kTlColourDataTag, kKelvraTagTypeColorData, sizeof block, block))
        return 0;
    return block[kTlColourDataSaturationOffset];
}

} // namespace

bool GetSaturationCompensation(const CTlvParamSet& params, int* level)
{
    if (level != nullptr)
        *level = 0;
    if (params.rawFlag == 0)
        return false;
    const CTlAdjustState* adjust = params.Adjust();
    const int found = adjust != nullptr && adjust->SaturationCompensationSet() ? adjust->SaturationCompensationLevel()
                                                                              : CameraLevel(params);
    if (level != nullptr)
        *level = found;
    return found != 0;
}

bool SetSaturationCompensation(const CTlvParamSet& params, CSaturationCompensationFilter& filter)
{
    int level = 0;
    if (!GetSaturationCompensation(params, &level)) {
        Succeeded(filter.Enable(false, true));
        return false;
    }
    level = std::clamp(level, 0, CSaturationCompensationFilter::kMaxLevel);
    filter.SetParameter(params.modelCode);
    if (Succeeded(filter.SetLevel(level, true)))
        Succeeded(filter.Enable(true, true));
    return level != 0;
}
