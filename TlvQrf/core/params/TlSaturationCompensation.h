// The saturation compensation that the settings or the camera ask for, and
// the filter set from it.
#pragma once

#include <cstdint>

class CSaturationCompensationFilter;
class CTlvParamSet;

// The camera's colour block, whose byte 5 is its saturation-compensation
// level.
constexpr std::uint32_t kTlColourDataTag = 0x80097;
constexpr std::uint32_t kTlColourDataSize = 304;
constexpr std::uint32_t kTlColourDataSaturationOffset = 5;

// Only for raw images: the adjust record's level when its set byte is on,
// else the camera's level from its colour block (0 when that cannot be
// read). `level`, when given, gets the level, 0 for images that are not
// raw. True when the level is not 0.
bool GetSaturationCompensation(const CTlvParamSet& params, int* level);

// With a level: the model code and the level held in 0..9 to the filter,
// then the filter on (a refused level is dropped and leaves the filter as
// it was); without one the filter off. Errors are dropped. True when the
// level held is not 0.
bool SetSaturationCompensation(const CTlvParamSet& params, CSaturationCompensationFilter& filter);
