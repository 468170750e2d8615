// Bounded reading and writing of the integers inside JPEG segments, in
// either byte order (Exif blocks may be little-endian).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A read-only block whose bounds every read checks first.
struct PellioBytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    // True when `count` bytes from `offset` lie inside; never overflows.
    bool Has(std::size_t offset, std::size_t count) const { return offset <= size && count <= size - offset; }
    const std::uint8_t* At(std::size_t offset) const { return data + offset; }
};

inline std::uint16_t PellioGet16(const std::uint8_t* p, bool littleEndian)
{
    return littleEndian ? std::uint16_t(p[0] | (p[1] << 8)) : std::uint16_t((p[0] << 8) | p[1]);
}

inline std::uint32_t PellioGet32(const std::uint8_t* p, bool littleEndian)
{
    const std::uint32_t low = PellioGet16(littleEndian ? p : p + 2, littleEndian);
    const std::uint32_t high = PellioGet16(littleEndian ? p + 2 : p, littleEndian);
    return (high << 16) | low;
}

inline void PellioPut16(std::vector<std::uint8_t>& out, std::uint16_t value, bool littleEndian)
{
    const std::uint8_t high = std::uint8_t(value >> 8);
    const std::uint8_t low = std::uint8_t(value);
    out.push_back(littleEndian ? low : high);
    out.push_back(littleEndian ? high : low);
}

inline void PellioPut32(std::vector<std::uint8_t>& out, std::uint32_t value, bool littleEndian)
{
    PellioPut16(out, std::uint16_t(littleEndian ? value : value >> 16), littleEndian);
    PellioPut16(out, std::uint16_t(littleEndian ? value >> 16 : value), littleEndian);
}

inline void PellioAppend(std::vector<std::uint8_t>& out, const void* bytes, std::size_t count)
{
    const std::uint8_t* first = static_cast<const std::uint8_t*>(bytes);
    out.insert(out.end(), first, first + count);
}
