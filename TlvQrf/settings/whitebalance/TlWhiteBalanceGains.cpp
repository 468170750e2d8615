#include "settings/whitebalance/TlWhiteBalance.h"
#include "settings/whitebalance/TlWhiteBalanceRules.h"

using namespace TlWhiteBalanceDetail;

namespace {

double Evaluate(const Polynomial& p, double r)
{
    return p.c0 + r * (p.c1 + r * (p.c2 + r * p.c3));
}

// Models 513/514 and the linear and quadratic models take the mired value
// itself; model 1025 and the unlisted models were fitted in hundreds of mired.
double PolynomialVariable(CameraFamily family, double mired)
{
    const bool hundreds = family == CameraFamily::Model1025 || family == CameraFamily::Other;
    return hundreds ? mired * 0.01 : mired;
}

// Model 1025 under group C presets: gains change in steps of 13 mired.
// Both the product and the quotient truncate toward zero, as C++ does.
void SteppedGains(double mired, double* firstGain, double* secondGain)
{
    const int steps = static_cast<int>((mired - 83.0) * -0.7692307692307692);
    const int s = (-22 - steps) / 10;
    *firstGain = 2.63730525421782 - s * 0.0529889981808676;
    *secondGain = 1.35810310290021 + s * 0.020523883849573;
}

} // namespace

void KelvinToChannelGains(std::int32_t preset, std::uint16_t kelvin, double* firstGain, double* secondGain,
                          std::int16_t model)
{
    if (!firstGain || !secondGain)
        return;
    *firstGain = 1.0;
    *secondGain = 1.0;
    // No temperature: the mired value would be infinite, so the neutral gains stay.
    if (kelvin == 0)
        return;

    const double mired = 1000000.0 / kelvin;
    const CameraFamily family = FamilyOfModel(model);
    if (family == CameraFamily::Model1025 && GroupOfPreset(preset) == PresetGroup::C) {
        SteppedGains(mired, firstGain, secondGain);
        return;
    }
    const GainRow* row = FindGainRow(family, preset, kelvin, mired);
    if (!row)
        return;
    const double r = PolynomialVariable(family, mired);
    *firstGain = row->firstScale * Evaluate(row->first, r);
    *secondGain = row->secondScale * Evaluate(row->second, r);
}
