#include "params/TlNoiseStrength.h"

#include "params/TlvParamSet.h"

#include <iterator>

namespace {

// Index = step - 1.
constexpr double kStrengthFactors[] = {0.2, 0.3, 0.4, 0.5, 0.63, 0.7, 0.8, 0.9, 0.95, 1.0};
constexpr int kStepCount = static_cast<int>(std::size(kStrengthFactors));

} // namespace

double GetNoiseStrengthFactor(const CTlvParamSet& params)
{
    const CTlTripleValueState* triple = params.LevelTriple();
    if (params.tags == nullptr || triple == nullptr)
        return 0.0;
    const int step = triple->first;
    if (step < 1 || step > kStepCount)
        return 0.0;
    return kStrengthFactors[step - 1];
}
