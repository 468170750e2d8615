// The development the chain applies to each sample: from the input's own
// encoding to linear light, white balance and exposure, the working colour
// space, and the output tone curve to 8 bits.
#pragma once

#include "Rawlibps.h"

#include <array>
#include <cstdint>
#include <vector>

// How the input's samples are encoded.
enum class TlnInputKind {
    Companded,   // demosaiced 16-bit RGB, square root of linear light
    RawLinear,   // one 16-bit sample holding 12-bit linear light (a raw image not demosaiced)
    DisplayReady // toned already (the vendor source, a developed picture): passed on
};

// The working colour spaces the chain can develop into.
enum : long {
    kTlnSpaceSRGB = 1,
    kTlnSpaceAdobeRGB = 2,
};

// The multipliers of red and blue a white balance asks for, relative to
// the picture as shot: 1 and 1 for code 0 or no temperature.
void TlnWhiteBalanceFactors(const TlnWhiteBalance& balance, double* red, double* blue);

// The per-sample tables of one set of parameters.
class CTlnToneTables {
public:
    CTlnToneTables(TlnInputKind kind, const TlnWhiteBalance& balance, double exposure, long space);

    TlnInputKind Kind() const { return m_kind; }
    // One pixel of three linear-domain samples (or one raw sample) to 8-bit RGB.
    void Develop(const std::uint16_t* in, long planes, std::uint8_t* out) const;

private:
    std::uint8_t Encode(double linear) const;

    TlnInputKind m_kind;
    std::array<std::vector<float>, 3> m_linear; // 65536 entries per channel
    bool m_adobe;
    std::vector<std::uint8_t> m_encode; // 4096 steps over [0, 1]
};
