// Copies rectangles of pixels between blocks of pixel rows, for every pixel
// format: whole bytes per pixel or pixels packed into bits (bitmaps, most
// significant bit first).
#pragma once

#include <cstdint>

// A position inside a block of pixel rows: `data` is pixel (0, 0), rows are
// `rowBytes` apart, and (x, y) is the pixel the copy starts at.
template <typename Byte>
struct KelvraPixelAt {
    Byte* data;
    long rowBytes;
    long x;
    long y;
};

// Bytes a packed row of `width` pixels takes, without the narrowing of
// KelvraRowBytes, so that callers can test it against their limits.
inline std::uint64_t KelvraPackedRowBytes(unsigned bitsPerPixel, long width)
{
    return width > 0 ? (std::uint64_t(width) * bitsPerPixel + 7) / 8 : 0;
}

// Copies `width` x `height` pixels. Bits of `to` outside the copied pixels
// keep their values, so packed rows can be assembled piece by piece.
void KelvraCopyPixels(const KelvraPixelAt<const std::uint8_t>& from, const KelvraPixelAt<std::uint8_t>& to,
                      long width, long height, unsigned bitsPerPixel);
