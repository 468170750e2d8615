// The camera sharpening presets: 64 unsharp-mask settings, the entry each
// sharpening level takes at each sensitivity, and the entries of the
// cameras that record their sharpening as a ten-step code.
#pragma once

#include <cstdint>

struct TlSharpeningPreset {
    std::int8_t amount;
    std::uint8_t radius;    // in 0.2 pixel
    std::uint8_t threshold; // in 0.2 eight-bit level
};

constexpr int kTlSharpeningPresets = 64;

// The preset at `index`; an index outside 0 to 63 gives preset 0 (none).
TlSharpeningPreset SharpeningPreset(int index);

// The preset index of sharpening level 2 to 6 at this sensitivity (after
// exposure scaling); 0 for any other level.
int SharpeningIndexForLevel(int level, std::uint16_t sensitivity);

// The preset index of step 0 to 9 of the ten-step code; 0 above 9.
int SharpeningIndexForStep(int step);
