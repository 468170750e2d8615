#include "filters/debayer/TlBayerPattern.h"

TlBayerFault TlReadBayerPattern(const std::uint8_t* bytes, std::size_t length, TlBayerPhases* phases)
{
    if (!bytes || length < 8 || bytes[0] != 0 || bytes[1] != 2 || bytes[2] != 0 || bytes[3] != 2)
        return TlBayerFault::NotTwoByTwo;
    const int c00 = bytes[4], c10 = bytes[5], c01 = bytes[6], c11 = bytes[7];
    TlBayerPhases found;
    if (c00 != kTlGreen) {
        if (c10 != kTlGreen || c01 != kTlGreen || c11 == kTlGreen)
            return TlBayerFault::GreenNotDiagonal;
        found.greenPhase = 0;
    } else {
        if (c10 == kTlGreen || c01 == kTlGreen || c11 != kTlGreen)
            return TlBayerFault::GreenNotDiagonal;
        found.greenPhase = 1;
    }
    const bool redFirst = (c00 == kTlRed || c10 == kTlRed) && (c01 == kTlBlue || c11 == kTlBlue);
    const bool blueFirst = (c00 == kTlBlue || c10 == kTlBlue) && (c01 == kTlRed || c11 == kTlRed);
    if (!redFirst && !blueFirst)
        return TlBayerFault::RedBlueRows;
    found.redRowPhase = redFirst ? 1 : 0;
    *phases = found;
    return TlBayerFault::None;
}
