// What the signal-processing library's tone should make of a developed
// linear 12-bit value, worked out here from the published sRGB definition,
// for the tests of the library and of the image that runs it.
#pragma once

#include <cmath>
#include <cstdint>

namespace sigcore_test {

// `power` bends the curve: 1 for the standard and as-shot tone codes, 1.1
// for code 2, 0.9 for code 3.
inline std::uint16_t TonedValue(std::uint16_t linear12, double power = 1.0)
{
    const double x = linear12 / 4095.0;
    const double srgb = x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1 / 2.4) - 0.055;
    return std::uint16_t(std::lround(4095 * std::pow(srgb, power)));
}

} // namespace sigcore_test
