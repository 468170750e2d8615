// The tone table: the user's custom curve sampled, or the tone curve of the
// tone compensation from its 13 coefficients.
#include "camera/TlCameraLut.h"

#include <algorithm>
#include <cmath>

namespace {

// Coefficient places: two thresholds, the cubic, the first power, the
// second power.
enum { kFirstLimit, kSecondLimit, kC0, kC1, kC2, kC3, kP0, kP1, kE1, kQ0, kQ1, kQ2, kE2 };

const double* Coefficients(const TlCameraProfileParams& params, const TlCameraSetUpState& state,
                           const TlCameraTables& tables)
{
    const int tone = std::min(std::max(params.tone, 0), kTlToneCount - 1);
    if (!TlUsesSecondStyle(params, state))
        return tables.toneFirst[tone];
    const int style = params.colourMode == 3 ? 0 : (params.colourMode == 4 || params.colourMode == 6) ? 1 : 2;
    return tables.toneSecond[style][tone];
}

double CurveValue(const double* k, double x)
{
    if (x < k[kFirstLimit])
        return k[kC0] + x * (k[kC1] + x * (k[kC2] + x * k[kC3]));
    if (x < k[kSecondLimit])
        return k[kP0] + k[kP1] * std::pow(x, k[kE1]);
    return k[kQ0] + k[kQ1] * std::pow(std::max(x - k[kQ2], 0.0), k[kE2]);
}

std::uint16_t TwelveBits(double value)
{
    const double scaled = std::trunc(value * 3520.0);
    if (!(scaled > 0))
        return 0;
    return std::uint16_t(std::min(scaled, 4095.0));
}

void SampleCustomCurve(const TlCameraProfileParams& params, std::uint16_t* tone)
{
    const int step = params.curveInputBits == 16 ? 16 : 1;
    const int shift = params.curveOutputBits == 16 ? 4 : 0;
    for (int i = 0; i < kTlToneEntries; ++i)
        tone[i] = std::uint16_t(std::min(params.curve[i * step] >> shift, 4095));
}

} // namespace

bool TlUsesSecondStyle(const TlCameraProfileParams& params, const TlCameraSetUpState& state)
{
    return state.namingStyle == 1 || params.colourMode == 5 || params.colourMode == 6;
}

void TlMakeToneTable(const TlCameraProfileParams& params, const TlCameraSetUpState& state,
                     const TlCameraTables& tables, std::uint16_t* tone)
{
    if (params.tone == kTlCustomTone && params.curve) {
        SampleCustomCurve(params, tone);
        return;
    }
    const double* k = Coefficients(params, state, tables);
    tone[0] = 0;
    for (int i = 1; i < kTlToneEntries; ++i)
        tone[i] = TwelveBits(CurveValue(k, i / 1800.0));
}
