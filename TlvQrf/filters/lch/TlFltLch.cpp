#include "filters/lch/TlFltLch.h"

#include "filters/lch/TlCalibrationThresholds.h"
#include "settings/curves/TlLinearCurve.h"

CFltLch::CFltLch(IKelvraManager* manager) : CTlFilter(manager) {}

CFltLch::~CFltLch() = default;

KelvraTag CFltLch::GetFilterTag() const
{
    return TlFilterId("LCH ");
}

const char* CFltLch::GetFilterName() const
{
    return "LCH editor filter";
}

IKelvraError* CFltLch::LoadCalibration(void*)
{
    return LoadThresholdFile(kTlLchCalibrationFile);
}

IKelvraError* CFltLch::LoadThresholdFile(const char* fileName)
{
    Table thresholds;
    if (const long code = TlLoadCalibrationThresholds(fileName, thresholds))
        return TL_FILTER_ERROR(code);
    if (IKelvraError* error = SetThresholdTable(thresholds.data(), kTlThresholdBits, kTlThresholdBits))
        return TL_FILTER_WRAP(error);
    m_calibrationLoaded = true;
    return nullptr;
}
