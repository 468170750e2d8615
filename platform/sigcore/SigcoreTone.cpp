#include "SigcoreTone.h"

#include "Sigcore.h"

#include <cmath>

namespace {

// The sRGB curve, which the raw-image library gives its other cameras' output.
double StandardCurve(double linear)
{
    return linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

// The softer and harder renderings bend the standard one at its ends' fixed
// points: a power below 1 lifts the mid-tones, above 1 deepens them.
double MidToneBend(int toneCode)
{
    switch (toneCode) {
    case kSigcoreToneBrighter:
        return 0.9;
    case kSigcoreToneDeeper:
        return 1.1;
    default:
        return 1.0;
    }
}

} // namespace

void SigcoreBuildTone(int toneCode, SigcoreToneTable* table)
{
    const double bend = MidToneBend(toneCode);
    const double top = kSigcoreToneEntries - 1;
    for (int i = 0; i < kSigcoreToneEntries; ++i) {
        const double rendered = std::pow(StandardCurve(i / top), bend);
        const double value = std::floor(rendered * top + 0.5);
        table->entry[i] = std::uint16_t(value < 0 ? 0 : value > top ? top : value);
    }
}
