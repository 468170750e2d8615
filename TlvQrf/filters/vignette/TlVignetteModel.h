// The optical model behind the vignette correction: three circular pupils
// seen from points of the sensor, and the light that reaches each field
// height relative to the centre under the cos^4 law. The result is a
// shortfall per field height, turned into 16-bit gain codes along a radius.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Positions and radii of the three pupils (mm), and the f-number the lens
// cannot open beyond.
struct TlPupils {
    double distance[3];
    double radius[3]; // radius[0] follows from the working f-number
    double minFNumber;
};

// The pupils the lens data describe: byte 2i is the signed position code
// of pupil i, byte 2i + 1 its aperture code. Without lens data (null, or a
// position code of 0 that places a pupil nowhere) the default pupils.
TlPupils TlPupilsFromLensData(const std::uint8_t* lensData);

// Field heights from the centre to half the sensor diagonal.
constexpr int kTlFieldSteps = 20;
using TlShortfalls = std::array<double, kTlFieldSteps + 1>;

// How much darker each field height k (k / 20 of half the diagonal) is than
// the centre, as the fraction by which it falls short: 0 at the centre.
TlShortfalls TlLightShortfalls(const TlPupils& pupils, double fNumber, double sensorDiagonal);

// A gain code: the top 4 bits an exponent e, the low 12 a mantissa m.
// e = 0 stands for m / 4096, e > 0 for (4096 + m) / 2^(13 - e).
std::uint16_t TlGainCode(double shortfall);
// The sample a code brightens `value` to, before the strength: the term
// (M * value) >> shift, held at 65535. Exponents 14 and 15 shift left.
std::uint64_t TlGainTerm(std::uint16_t code, std::uint32_t value);

// The codes along a radius in quarter-pixel steps, for an image of
// `width` x `height` whose vertical distances count `aspectScale` times.
std::vector<std::uint16_t> TlRadialCodes(const TlShortfalls& shortfalls, long width, long height, double aspectScale);
