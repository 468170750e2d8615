#include "filters/colornoise/TlColorNoiseReductionFilter.h"

#include <algorithm>
#include <cmath>

CColorNoiseReductionFilter::CColorNoiseReductionFilter(IKelvraManager* manager) : CTlFilter(manager) {}

CColorNoiseReductionFilter::~CColorNoiseReductionFilter() = default;

KelvraTag CColorNoiseReductionFilter::GetFilterTag() const
{
    return TlFilterId("clnr");
}

const char* CColorNoiseReductionFilter::GetFilterName() const
{
    return "Color Noise Reduction";
}

IKelvraError* CColorNoiseReductionFilter::SetStrength(double strength, bool notify)
{
    // The strength rules are made for [0, 1]; far below it the range width
    // reaches 0, which the weights divide by.
    if (std::isnan(strength))
        return TL_FILTER_ERROR(kKelvraBadArgument);
    const double held = std::clamp(strength, 0.0, 1.0);
    return ApplySetting(m_strength, held, notify, [this] { m_weightTableStale = true; });
}
