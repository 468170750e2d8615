#include "UnsharpMaskPlan.h"

#include "UnsharpMaskBand.h"

#include <cmath>

namespace {

// Differences of about this many eight-bit levels count as noise.
const float kNoiseFloor = 2.0f;

} // namespace

std::shared_ptr<const UsmPlan> MakeUsmPlan(const UsmParams& params)
{
    auto plan = std::make_shared<UsmPlan>();
    plan->params = params;
    plan->alongX = MakeUsmKernel(params.method, params.radius);
    plan->alongY = MakeUsmKernel(params.method, params.secondRadius);
    plan->wholeBand = UsmBandCoversAll(params.band);
    return plan;
}

UsmSampleRule::UsmSampleRule(const UsmParams& params, unsigned max)
    : m_threshold(float(params.threshold) * float(max) / 255.0f), m_noiseSquared(0.0f), m_power(float(params.power)),
      m_affectNoise(params.affectNoise), m_max(float(max))
{
    const float noise = kNoiseFloor * float(max) / 255.0f;
    m_noiseSquared = noise * noise;
}

unsigned UsmSampleRule::Apply(float value, float mask, double bandWeight) const
{
    const float difference = value - mask;
    if (std::fabs(difference) < m_threshold)
        return unsigned(value);
    float gain = m_power * float(bandWeight);
    if (!m_affectNoise)
        gain *= difference * difference / (difference * difference + m_noiseSquared);
    const float result = value + gain * difference;
    if (!(result > 0.0f)) // also catches a NaN
        return 0;
    return result >= m_max ? unsigned(m_max) : unsigned(result + 0.5f);
}
