#include "filters/colornoise/TlNoiseWindow.h"

#include <cmath>

TlNoiseWindow TlNoiseWindowFor(double strength)
{
    if (strength < 0.5)
        return {1, 1 + 0.1 * strength, false};
    if (strength < 0.91)
        return {2, 5 + 0.375 * (strength - 0.5), strength >= 0.9};
    return {3, 20, true};
}

void TlBuildNoiseWeights(double rangeWidth, std::vector<std::uint16_t>& table)
{
    table.resize(kTlNoiseWeightCount);
    const double spread = 256 * rangeWidth * rangeWidth;
    for (int i = 0; i < kTlNoiseWeightCount; ++i) {
        const double weight = kTlNoiseWeightScale * std::exp(-double(i) * i / spread);
        table[std::size_t(i)] = std::uint16_t(std::floor(weight + 0.5));
    }
}
