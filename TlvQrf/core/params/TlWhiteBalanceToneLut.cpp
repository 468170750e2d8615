// The developed image's table: a 12-bit ramp scaled per channel by white
// balance and exposure, then passed through the tone curve.
#include "params/TlToneLuts.h"
#include "params/TlWhiteBalanceToneTables.h"

#include "params/TlDevelopToneCurve.h"
#include "params/TlLutInstall.h"
#include "params/TlLutTable.h"
#include "params/TlWhiteBalanceFactors.h"
#include "params/TlvParamSet.h"

#include "kelvra/KelvraError.h"

namespace {

constexpr KelvraTag kWhiteBalanceLutTag = KelvraFourCC('W', 'B', 'L', 't');

// A processed image and the signal-processing cameras bring their own tone.
bool KeepsNeutral(const CTlvParamSet& params)
{
    return params.rawFlag == 0 || params.IsSignalProcessingModel();
}

} // namespace

IKelvraError* BuildWhiteBalanceToneTables(const CTlvParamSet& params, STlLutTables& tables)
{
    if (!tables.Allocate(kTlvDevelopEntries))
        return IKelvraError::Add(nullptr, kWhiteBalanceLutTag, __LINE__, kKelvraCategoryKelvra, kKelvraOutOfMemory);
    const STlChannelFactors factors = WhiteBalanceExposureFactors(params);
    FillScaledRamp12(tables.channel[0].get(), factors.red);
    FillScaledRamp12(tables.channel[1].get(), factors.green);
    FillScaledRamp12(tables.channel[2].get(), factors.blue);
    return ApplyDevelopToneCurve(params, tables);
}

IKelvraError* SetWhiteBalanceToneLut(const CTlvParamSet& params, CKelvraFilterCML* cml, CKelvraFilterLut* lut,
                                     bool notify)
{
    const STlLutTargets targets{cml, false, lut};
    if (KeepsNeutral(params))
        return InstallLutTables(targets, STlLutInstall{nullptr, 0, 0, 0, notify});

    STlLutTables tables;
    if (IKelvraError* error = BuildWhiteBalanceToneTables(params, tables))
        return error;
    const std::uint16_t* pointers[3];
    tables.Pointers(pointers);
    return InstallLutTables(targets, STlLutInstall{pointers, 12, 16, 3, notify});
}
