#include "filters/moire/TlMoireFilter.h"

CMoireFilter::CMoireFilter(IKelvraManager* manager) : CTlFilter(manager, 1) {}

const char* CMoireFilter::GetFilterName() const
{
    return "Moire";
}

IKelvraError* CMoireFilter::SetStrength(int strength, bool notify)
{
    return ApplySetting(m_strength, strength, notify);
}
