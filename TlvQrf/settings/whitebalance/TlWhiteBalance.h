// Turns a white-balance setting into numbers: the colour temperature of a
// light-source preset, and the two channel gains for a preset, a colour
// temperature and a camera model. Both are fixed tables of the camera
// maker's measurements and keep no state.
#pragma once

#include <cstdint>

// The temperature in kelvin of a light-source preset; 0 for a preset that
// has none.
std::uint16_t WhiteBalancePresetToKelvin(std::int32_t preset);

// Does nothing when either out-pointer is null. Otherwise both gains become
// 1.0 and are then computed from the preset's coefficients for `model` at
// `kelvin`. A temperature of 0 (no temperature) keeps both gains at 1.0.
void KelvinToChannelGains(std::int32_t preset, std::uint16_t kelvin, double* firstGain, double* secondGain,
                          std::int16_t model);
