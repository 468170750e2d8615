// Writing effect descriptions: an atom is its size (the whole atom with
// its 12-byte header), its type and its id, each 4 bytes big-endian, then
// its payload. A container atom's payload is a series of atoms.
#pragma once

#include <cstdint>
#include <vector>

inline void TlMovieAppendAtom(std::vector<std::uint8_t>& out, std::uint32_t type, std::uint32_t id,
                              const std::vector<std::uint8_t>& payload)
{
    const std::uint32_t size = std::uint32_t(12 + payload.size());
    for (std::uint32_t word : {size, type, id})
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(word >> shift));
    out.insert(out.end(), payload.begin(), payload.end());
}

// A 32-bit value as a big-endian payload.
inline std::vector<std::uint8_t> TlMovieBigEndian(std::uint32_t value)
{
    return {std::uint8_t(value >> 24), std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
}
