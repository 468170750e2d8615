// The lightness, chroma and hue tables of a hue level and a saturation
// factor, and the camera tags that stand in when the settings leave them.
#pragma once

#include <cstdint>

struct STlLutTables;

// The camera's hue setting v: hue level v / 3 + 3.
constexpr std::uint32_t kTlvHueTag = 0x80092;
// The camera's saturation setting: 2 low, 3 high, others normal.
constexpr std::uint32_t kTlvSaturationTag = 0x800AA;

// 65536 entries each: lightness unchanged, chroma scaled by the factor and
// held to 0..65535, hue turned by 3 x level - 9 degrees (a turn is 65536).
// False when memory runs out.
bool BuildHueSaturationTables(int hueLevel, double saturationFactor, STlLutTables& out);
