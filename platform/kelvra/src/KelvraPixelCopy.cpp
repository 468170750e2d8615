#include "KelvraPixelCopy.h"

#include <cstddef>
#include <cstring>

namespace {

template <typename Byte>
Byte* RowStart(const KelvraPixelAt<Byte>& at, long row)
{
    return at.data + std::ptrdiff_t(at.y + row) * at.rowBytes;
}

void CopyBits(const std::uint8_t* from, std::uint64_t fromBit, std::uint8_t* to, std::uint64_t toBit,
              std::uint64_t count)
{
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t source = fromBit + i;
        const std::uint64_t target = toBit + i;
        const unsigned bit = (from[source >> 3] >> (7 - (source & 7))) & 1u;
        const std::uint8_t mask = std::uint8_t(0x80u >> (target & 7));
        to[target >> 3] = std::uint8_t(bit ? (to[target >> 3] | mask) : (to[target >> 3] & ~mask));
    }
}

// A packed row: whole bytes where both sides start on a byte, bit by bit elsewhere.
void CopyPackedRow(const std::uint8_t* from, std::uint64_t fromBit, std::uint8_t* to, std::uint64_t toBit,
                   std::uint64_t count)
{
    if ((fromBit & 7) == 0 && (toBit & 7) == 0) {
        const std::uint64_t bytes = count >> 3;
        std::memcpy(to + (toBit >> 3), from + (fromBit >> 3), std::size_t(bytes));
        CopyBits(from, fromBit + bytes * 8, to, toBit + bytes * 8, count & 7);
        return;
    }
    CopyBits(from, fromBit, to, toBit, count);
}

} // namespace

void KelvraCopyPixels(const KelvraPixelAt<const std::uint8_t>& from, const KelvraPixelAt<std::uint8_t>& to,
                      long width, long height, unsigned bitsPerPixel)
{
    if (width <= 0 || height <= 0)
        return;
    const std::uint64_t rowBits = std::uint64_t(width) * bitsPerPixel;
    const std::uint64_t fromBit = std::uint64_t(from.x) * bitsPerPixel;
    const std::uint64_t toBit = std::uint64_t(to.x) * bitsPerPixel;
    for (long row = 0; row < height; ++row)
        CopyPackedRow(RowStart(from, row), fromBit, RowStart(to, row), toBit, rowBits);
}
