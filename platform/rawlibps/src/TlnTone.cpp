#include "TlnTone.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long kEncodeSteps = 4096;
// The colour temperature the camera's own balance stands for: a white
// balance of this temperature changes nothing.
constexpr double kNeutralKelvin = 5200.0;
// How strongly red and blue follow the temperature (synthetic, like the
// rest of the library: docs/rawlibps.md).
constexpr double kKelvinPower = 0.9;

double SrgbCurve(double x)
{
    return x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1.0 / 2.4) - 0.055;
}

double AdobeCurve(double x)
{
    return std::pow(x, 256.0 / 563.0);
}

double Limited(double x)
{
    return x < 0.0 ? 0.0 : x > 1.0 ? 1.0 : x;
}

} // namespace

void TlnWhiteBalanceFactors(const TlnWhiteBalance& balance, double* red, double* blue)
{
    *red = 1.0;
    *blue = 1.0;
    if (balance.code == 0 || balance.temperature <= 0)
        return;
    // Light warmer than neutral (a low temperature) is corrected by less
    // red and more blue, cooler light the other way round.
    const double ratio = double(balance.temperature) / kNeutralKelvin;
    *red = std::pow(ratio, kKelvinPower);
    *blue = 1.0 / *red;
}

CTlnToneTables::CTlnToneTables(TlnInputKind kind, const TlnWhiteBalance& balance, double exposure, long space)
    : m_kind(kind), m_adobe(space == kTlnSpaceAdobeRGB), m_encode(kEncodeSteps)
{
    double gains[3] = {1.0, 1.0, 1.0};
    TlnWhiteBalanceFactors(balance, &gains[0], &gains[2]);
    const double scale = std::isfinite(exposure) ? std::pow(2.0, exposure) : 1.0;
    if (kind != TlnInputKind::DisplayReady) {
        for (int c = 0; c < 3; ++c) {
            m_linear[std::size_t(c)].resize(65536);
            for (long v = 0; v < 65536; ++v) {
                const double linear =
                    kind == TlnInputKind::Companded ? (v / 65535.0) * (v / 65535.0) : std::min(v, 4095L) / 4095.0;
                m_linear[std::size_t(c)][std::size_t(v)] = float(linear * gains[c] * scale);
            }
        }
    }
    for (long i = 0; i < kEncodeSteps; ++i) {
        const double x = double(i) / (kEncodeSteps - 1);
        m_encode[std::size_t(i)] = std::uint8_t(std::lround(255.0 * (m_adobe ? AdobeCurve(x) : SrgbCurve(x))));
    }
}

std::uint8_t CTlnToneTables::Encode(double linear) const
{
    return m_encode[std::size_t(std::lround(Limited(linear) * (kEncodeSteps - 1)))];
}

void CTlnToneTables::Develop(const std::uint16_t* in, long planes, std::uint8_t* out) const
{
    if (m_kind == TlnInputKind::DisplayReady) {
        for (int c = 0; c < 3; ++c)
            out[c] = std::uint8_t(in[planes == 1 ? 0 : c] >> 8);
        return;
    }
    double linear[3];
    for (int c = 0; c < 3; ++c)
        linear[c] = m_linear[std::size_t(c)][in[planes == 1 ? 0 : c]];
    if (m_adobe) {
        // Linear sRGB to linear Adobe RGB (both on D65).
        const double r = 0.7151 * linear[0] + 0.2849 * linear[1];
        const double b = 0.0412 * linear[1] + 0.9588 * linear[2];
        linear[0] = r;
        linear[2] = b;
    }
    for (int c = 0; c < 3; ++c)
        out[c] = Encode(linear[c]);
}
