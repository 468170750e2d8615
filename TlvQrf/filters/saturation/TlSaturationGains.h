// The saturation compensation's chroma gains: one per 8-bit lightness, 128
// meaning unchanged. Mid-tones keep full chroma; towards black and white
// the gain falls on a quarter sine to a shadow and a highlight value, and
// the whole table is scaled down at the higher levels.
#pragma once

#include <cstdint>

constexpr int kTlGainEntries = 256;
constexpr int kTlUnityGain = 128;

// The tone modes (camera model codes) that take the second parameter set.
bool TlUsesSecondGainSet(std::uint16_t toneMode);

// Fills `gains` for parameter set 0 or 1 and level 0..9.
void TlBuildSaturationGains(int set, int level, int (&gains)[kTlGainEntries]);
