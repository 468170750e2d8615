// The 2 x 2 Bayer layouts the demosaicing filters accept, read from the
// bytes of the colour-filter-array capture tag (two big-endian 16-bit
// repeats, horizontal then vertical, then one colour code per cell, row by
// row; 0 red, 1 green, 2 blue).
#pragma once

#include <cstddef>
#include <cstdint>

enum class TlBayerFault {
    None,
    NotTwoByTwo,      // repeats other than 2 x 2, or too few bytes
    GreenNotDiagonal, // green must fill exactly one diagonal
    RedBlueRows,      // red and blue must share no row
};

// Where the colours lie. A site (x, y) is green where x + y + greenPhase is
// odd; otherwise red on rows where y + redRowPhase is odd, blue on others.
struct TlBayerPhases {
    int greenPhase = 0;
    int redRowPhase = 0;
};

TlBayerFault TlReadBayerPattern(const std::uint8_t* bytes, std::size_t length, TlBayerPhases* phases);

enum : int { kTlRed = 0, kTlGreen = 1, kTlBlue = 2 };

inline int TlBayerColourAt(const TlBayerPhases& phases, long x, long y)
{
    if (((x + y + phases.greenPhase) & 1) != 0)
        return kTlGreen;
    return ((y + phases.redRowPhase) & 1) != 0 ? kTlRed : kTlBlue;
}
