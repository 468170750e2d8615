#include "filters/chromabooster/TlChromaBoosterFilter.h"

#include "settings/curves/TlLinearCurve.h"

#include <algorithm>
#include <utility>

CChromaBoosterFilter::CChromaBoosterFilter(IKelvraManager* manager) : CFltLch(manager) {}

CChromaBoosterFilter::~CChromaBoosterFilter() = default;

KelvraTag CChromaBoosterFilter::GetFilterTag() const
{
    return TlFilterId("ChrB");
}

const char* CChromaBoosterFilter::GetFilterName() const
{
    return "Chroma Booster filter";
}

IKelvraError* CChromaBoosterFilter::LoadCalibration(void*)
{
    m_defaultLevel = kLoadedDefaultLevel;
    return LoadThresholdFile(kTlChromaBoostCalibrationFile);
}

IKelvraError* CChromaBoosterFilter::SetLevel(int value, bool notify)
{
    if (!IsCalibrationLoaded() || value < 0)
        return nullptr;
    const int level = value == kDefaultLevelRequest ? m_defaultLevel : std::min(value, int(kMaxLevel));
    return ApplySetting(m_level, level, notify);
}

IKelvraError* CChromaBoosterFilter::SetThresholdEnabled(bool on, bool notify)
{
    if (!IsCalibrationLoaded() || on == m_thresholdEnabled)
        return nullptr;
    Table& prepared = PreparedThreshold();
    if (on) {
        prepared = std::move(m_parkedThreshold);
        m_parkedThreshold.clear();
    } else {
        m_parkedThreshold = std::move(prepared);
        prepared.clear();
    }
    return ApplySetting(m_thresholdEnabled, on, notify);
}
