#include "filtrix/KelvraFilterCMLEngine.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

double Clamp01(double value)
{
    return value < 0 ? 0 : value > 1 ? 1 : value;
}

} // namespace

void KelvraLChEncoding::LabToUnit(const double lab[3], double unit[3])
{
    unit[0] = Clamp01(lab[0] / kMaxLightness);
    unit[1] = Clamp01(std::sqrt(lab[1] * lab[1] + lab[2] * lab[2]) / kMaxChroma);
    double turn = std::atan2(lab[2], lab[1]) / (2 * kPi);
    unit[2] = turn < 0 ? turn + 1 : turn;
}

void KelvraLChEncoding::UnitToLab(const double unit[3], double lab[3])
{
    const double chroma = unit[1] * kMaxChroma, angle = unit[2] * 2 * kPi;
    lab[0] = unit[0] * kMaxLightness;
    lab[1] = chroma * std::cos(angle);
    lab[2] = chroma * std::sin(angle);
}

void KelvraLChEncoding::UnitToSamples(const double unit[3], unsigned bits, std::uint16_t samples[3])
{
    const double levels = double(1u << bits), max = levels - 1;
    samples[0] = std::uint16_t(std::lround(Clamp01(unit[0]) * max));
    samples[1] = std::uint16_t(std::lround(Clamp01(unit[1]) * max));
    // A full turn is 2^bits, so a hue that rounds up to it wraps to 0.
    samples[2] = std::uint16_t(std::lround(Clamp01(unit[2]) * levels) & long(max));
}

void KelvraLChEncoding::SamplesToUnit(const std::uint16_t samples[3], unsigned bits, double unit[3])
{
    const double levels = double(1u << bits), max = levels - 1;
    unit[0] = samples[0] / max;
    unit[1] = samples[1] / max;
    unit[2] = samples[2] / levels;
}
