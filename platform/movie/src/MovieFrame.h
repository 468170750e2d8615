// A decoded frame: 24-bit pixels (blue, green, red), rows top-down and
// padded to four bytes, as a device-independent bitmap holds them.
#pragma once

#include <cstdint>
#include <vector>

struct MovieFrame {
    long width = 0;
    long height = 0;
    long rowBytes = 0;
    std::vector<std::uint8_t> pixels;

    static long RowBytesFor(long width) { return (width * 3 + 3) & ~3L; }
    // False when the size is out of range or memory runs out.
    bool Allocate(long newWidth, long newHeight);
    std::uint8_t* Row(long y) { return pixels.data() + std::size_t(y) * std::size_t(rowBytes); }
    const std::uint8_t* Row(long y) const { return pixels.data() + std::size_t(y) * std::size_t(rowBytes); }
};

// Sizes the toolkit accepts on each side.
constexpr long kMovieLargestSide = 16384;
