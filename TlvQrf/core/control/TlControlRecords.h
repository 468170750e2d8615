// The small translations between the control's parameter records and its
// stored state: orientation codes, preset codes, chain settings, colour
// spaces and profile paths.
#pragma once

#include <cstdint>

struct STlOrientation {
    int angle = 0;       // degrees
    bool mirror = false;
};

// Codes 1 to 8; any other code is angle 0 without mirror.
STlOrientation OrientationOfCode(std::uint32_t code);
// An angle other than 0, 90, 180 and 270 gives 1.
std::uint32_t CodeOfOrientation(int angle, bool mirror);
// 90 or 270 degrees: width and height exchange.
bool IsQuarterTurn(int angle);

// The presets the stored white balance keeps; any other code becomes 0.
std::int32_t FilterWhiteBalancePreset(std::int32_t preset);

// What the chain object takes for the control's mode choices.
std::uint32_t ChainModeOf(std::uint32_t previewMode);
std::uint32_t ScaleMethodOf(std::uint32_t interpolation);
std::uint32_t CachePolicyOf(std::uint32_t cacheChoice);

// Record colour-space codes 2, 3, 4 are stored as 1, 2, 3; others as 0.
std::int32_t StoredColourSpaceOf(std::uint32_t recordCode);
// And back: 1, 2, 3 give 2, 3, 4; anything else 1.
std::uint32_t RecordColourSpaceOf(std::int32_t stored);

// Two profile paths name the same file: compared whole, as Windows paths
// (any case, either slash, relative parts resolved).
bool SameProfilePath(const char* a, const char* b);

// Copies a NUL-terminated text into a 260-character field, cutting it.
void CopyPath(char* target, const char* source);
