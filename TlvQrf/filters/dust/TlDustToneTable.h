// The dust map's tone table pair: a forward part that takes a pixel value
// to a linear one (256 entries for 8-bit RGB, 65536 for 16-bit pictures)
// followed by an inverse part of 65536 entries that takes it back. Linear
// pictures (raw mosaics, or a map begun as linear) use the square table of
// the demosaicing filters and its square-root inverse; others the camera's
// tone curve, chosen by curve id and the shooting block.
#pragma once

#include "filters/dust/TlDustCurveBlocks.h"
#include "filters/dust/TlDustShooting.h"
#include "kelvra/KelvraTypes.h"

#include <cstdint>
#include <vector>

constexpr std::size_t kDustInverseEntries = 65536;

// 1013 for a format other than 8-bit RGB, 16-bit RGB and the raw mosaic,
// and for an 8-bit picture asked to be linear (its forward part would be
// too short for the square table).
IKelvraError* BuildDustToneTable(KelvraPixelFormat format, bool linear, const TlDustShooting& shooting,
                                 std::vector<std::uint16_t>* table);

// The two parts on their own, for the tests.
void BuildSquareTonePair(std::vector<std::uint16_t>* table);
// False for an unknown curve id.
bool BuildCurveTonePair(const TlDustShooting& shooting, std::size_t forwardEntries,
                        std::vector<std::uint16_t>* table);

// The block a shooting block selects; false for a curve id of the other
// family or an unknown one.
bool SelectDustCurveA(const TlDustShooting& shooting, TlDustCurveA* curve);
bool SelectDustCurveB(const TlDustShooting& shooting, TlDustCurveB* curve);

// The linear value (in units of y) whose cubic segment of `curve` gives
// the encoded value x; `upperHalf` picks the fallback when no root lies
// in 0..y1 (y1 above, 0 below).
double DustCubicInverse(const TlDustCurveA& curve, double x, bool upperHalf);
