// What one tile of the unsharp-mask filter is made from: the settings,
// their kernels, and the rule applied to each sharpened sample.
#pragma once

#include "UnsharpMaskKernel.h"

#include "filtrix/UnsharpMaskParams.h"

#include <memory>

struct UsmPlan {
    UsmParams params;
    UsmKernel alongX;
    UsmKernel alongY;
    bool wholeBand = true; // no need to look at hues
};

// Throws std::bad_alloc.
std::shared_ptr<const UsmPlan> MakeUsmPlan(const UsmParams& params);

// The new value of one sharpened sample of range 0 to `max`.
class UsmSampleRule {
public:
    UsmSampleRule(const UsmParams& params, unsigned max);
    // `mask` is the blurred value, `bandWeight` the hue band's share.
    unsigned Apply(float value, float mask, double bandWeight) const;

private:
    float m_threshold;
    float m_noiseSquared;
    float m_power;
    bool m_affectNoise;
    float m_max;
};
