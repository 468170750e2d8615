// Byte order of TIFF files: values read in the file's order, written
// little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class TiffOrder { Little, Big };

inline std::uint16_t TiffGet16(const std::uint8_t* p, TiffOrder order)
{
    return order == TiffOrder::Little ? std::uint16_t(p[0] | (p[1] << 8)) : std::uint16_t((p[0] << 8) | p[1]);
}

inline std::uint32_t TiffGet32(const std::uint8_t* p, TiffOrder order)
{
    const std::uint32_t a = TiffGet16(p, order);
    const std::uint32_t b = TiffGet16(p + 2, order);
    return order == TiffOrder::Little ? (a | (b << 16)) : ((a << 16) | b);
}

inline void TiffPut16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

inline void TiffPut32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    TiffPut16(out, std::uint16_t(value));
    TiffPut16(out, std::uint16_t(value >> 16));
}

// Rewrites 16-bit samples stored big-endian as little-endian, in place.
inline void TiffSwap16(std::uint8_t* bytes, std::size_t count)
{
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        const std::uint8_t first = bytes[i];
        bytes[i] = bytes[i + 1];
        bytes[i + 1] = first;
    }
}
