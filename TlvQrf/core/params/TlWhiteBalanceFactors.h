// The channel factors of the developed image's tone table: the white
// balance relative to the as-shot multipliers, times the exposure (the
// camera's exposure tag and the user's compensation), and the 12-bit ramp
// they scale.
#pragma once

#include <cstdint>

class CTlvParamSet;

// One double: the exposure factor the camera recorded.
constexpr std::uint32_t kTlvExposureFactorTag = 0x80E0F;

struct STlChannelFactors {
    double red = 1.0;
    double green = 1.0;
    double blue = 1.0;
};

// Gains that would zero, flip or blow up a channel count as 1.0, and so
// does a compensation that is not a number. A colour-temperature record
// gets its gains recomputed for the camera first (written into the record).
STlChannelFactors WhiteBalanceExposureFactors(const CTlvParamSet& params);

// 4096 entries: 16 x i scaled by `factor`, held to 0..65535.
void FillScaledRamp12(std::uint16_t* table, double factor);
