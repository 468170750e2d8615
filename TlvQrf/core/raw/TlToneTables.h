// 16-bit tone tables that map 12- or 16-bit linear raw values to the
// developed scale (1.0 is 56320). A table has 2^bits entries; bits other
// than 12 or 16 leave it untouched. Entries are clamped to 0..0xFFFF.
#pragma once

#include "raw/TlRawDevelopment.h"

#include <cstdint>

class IKelvraTagControl;

enum : std::uint32_t { kTlCameraCurveTag = 0x8008C };

constexpr double kTlDevelopedWhite = 56320.0;

// A computed value as a table entry: truncated toward zero; NaN and
// negatives give 0, and large values stop at the top rather than wrap.
inline std::uint16_t ToneTableEntry(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= 65535.0)
        return 0xFFFF;
    return static_cast<std::uint16_t>(value);
}

// Entries per table (0 for unsupported bits) and the working range M:
// inputs index / M above 1.0 are headroom.
std::uint32_t ToneTableEntries(int bits);
std::uint32_t ToneTableRange(int bits);

// The standard development curve of the camera model.
void BuildGammaTable(std::uint16_t* table, int bits, std::uint16_t modelCode);
// One of the three preset curves (0 to 2); other presets leave the table.
void BuildPresetGammaTable(std::uint16_t* table, int bits, int preset);
// The preset table built on first use and kept for the process; null for
// unsupported bits or presets. Safe to call from several threads.
const std::uint16_t* GetPresetGammaTable(int bits, int preset);
// The camera's stored tone curve on top of the standard curve; the standard
// curve alone when the block is missing or corrupt. False only for
// unsupported bits.
bool BuildToneTable(const IKelvraTagControl* tags, const STlRawDevelopment& development, std::uint16_t* table,
                    int bits);
