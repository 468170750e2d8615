// Sample depths and pixel-format words as the standard filters read them.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstdint>

// Exact conversions between 8- and 16-bit samples: 8 -> 16 -> 8 gives the
// value back, and 16 -> 8 rounds to the nearest level.
inline std::uint16_t FiltrixWiden(unsigned value8)
{
    return std::uint16_t(value8 * 257u);
}
inline std::uint8_t FiltrixNarrow(unsigned value16)
{
    return std::uint8_t((value16 * 255u + 32767u) / 65535u);
}

// A value of `fromBits` bits brought to `toBits` bits, rounded to the
// nearest level (so 8 <-> 16 bits agrees with the two functions above).
inline unsigned FiltrixRescale(unsigned value, unsigned fromBits, unsigned toBits)
{
    if (fromBits == toBits)
        return value;
    const std::uint64_t fromMax = (std::uint64_t(1) << fromBits) - 1;
    const std::uint64_t toMax = (std::uint64_t(1) << toBits) - 1;
    return unsigned((value * toMax + fromMax / 2) / fromMax);
}

// Whole-byte pixels: what a filter can copy pixel by pixel.
inline bool FiltrixIsByteFormat(KelvraPixelFormat format)
{
    const unsigned bits = KelvraBitsPerPixel(format);
    return bits > 0 && bits % 8 == 0;
}

// Interleaved 8- or 16-bit samples in one to four planes: what a filter
// can change sample by sample.
inline bool FiltrixIsSampleFormat(KelvraPixelFormat format)
{
    const unsigned bits = KelvraBitsPerSample(format);
    const unsigned planes = KelvraPlaneCount(format);
    return (bits == 8 || bits == 16) && planes >= 1 && planes <= 4;
}

// The colour model: the low 17 bits (1 grey, 0x201 RGB, 0x202 CMYK, ...).
inline unsigned FiltrixColorModel(KelvraPixelFormat format)
{
    return format & 0x1FFFF;
}

enum : unsigned {
    kFiltrixModelGrey = 0x1,
    kFiltrixModelRGB = 0x201,
    kFiltrixModelCMYK = 0x202,
};

// `format` with `bits` (8 or 16) per sample; the colour model and planes stay.
inline KelvraPixelFormat FiltrixWithDepth(KelvraPixelFormat format, unsigned bits)
{
    return (format & 0x00FFFFFFu) | (KelvraPixelFormat(bits) << 24);
}
