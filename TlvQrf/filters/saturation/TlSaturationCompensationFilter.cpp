#include "filters/saturation/TlSaturationCompensationFilter.h"

#include "kelvra/KelvraData.h"

#include <algorithm>

CSaturationCompensationFilter::CSaturationCompensationFilter(IKelvraManager* manager) : CTlFilter(manager)
{
    m_bypass = false; // level 1 compensates
}

CSaturationCompensationFilter::~CSaturationCompensationFilter() = default;

KelvraTag CSaturationCompensationFilter::GetFilterTag() const
{
    return TlFilterId("stcp");
}

const char* CSaturationCompensationFilter::GetFilterName() const
{
    return "Saturation Compensation Filter";
}

void CSaturationCompensationFilter::SetParameter(std::uint16_t toneMode)
{
    m_toneMode = toneMode;
}

IKelvraError* CSaturationCompensationFilter::SetLevel(int level, bool notify)
{
    // Outside 0..9 there is no parameter row to build the gains from.
    const int held = std::clamp(level, 0, kMaxLevel);
    if (held == m_level)
        return nullptr;
    m_level = held;
    m_gainStale = true;
    m_stale = true;
    m_bypass = m_level == 0;
    // Switching to level 0 changes the output as much as any other change,
    // so it is announced too.
    if (!WillNotify(notify))
        return nullptr;
    return TL_FILTER_WRAP(KelvraSendDataNotification(this, kKelvraNotifyUpdateAll, nullptr));
}
