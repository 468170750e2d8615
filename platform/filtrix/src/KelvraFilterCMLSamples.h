// Sample access shared by the colour filter and its engine: packed rows of
// 8- or 16-bit samples, and copies between depths.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads and writes sample i of a packed row of 8- or 16-bit samples.
inline unsigned CmlGetSample(const void* row, unsigned bits, std::size_t i)
{
    return bits == 16 ? static_cast<const std::uint16_t*>(row)[i] : static_cast<const std::uint8_t*>(row)[i];
}
inline void CmlPutSample(void* row, unsigned bits, std::size_t i, unsigned value)
{
    if (bits == 16)
        static_cast<std::uint16_t*>(row)[i] = std::uint16_t(value);
    else
        static_cast<std::uint8_t*>(row)[i] = std::uint8_t(value);
}

// Copies `count` samples, changing their depth (rounded to the nearest level).
void CmlCopySamples(const void* input, unsigned inputBits, void* output, unsigned outputBits, std::size_t count);
