#include "filters/lch/TlChromaRule.h"

#include <cmath>

namespace {

// tan(pi/4) = 1 at a = 0; tan(atan 4) = 4 at a = 1; and 1/4 at a = -1, since
// tan(pi/4 - x) = 1 / tan(pi/4 + x).
const double kQuarterPi = std::atan(1.0);
const double kFactorSpan = std::atan(4.0) - kQuarterPi;

} // namespace

double TlChromaFactor(int percent)
{
    const double a = percent * 0.01;
    return std::tan(a * kFactorSpan + kQuarterPi);
}

CTlChromaRule::CTlChromaRule(const double* ratios, const std::uint16_t* thresholds, unsigned levels)
    : m_ratios(ratios), m_thresholds(thresholds), m_levels(levels)
{
    for (int percent = -kTlMaxChromaChange; percent <= kTlMaxChromaChange; ++percent)
        m_factors[percent + kTlMaxChromaChange] = TlChromaFactor(percent);
}
