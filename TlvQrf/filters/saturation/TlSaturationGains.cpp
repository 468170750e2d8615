#include "filters/saturation/TlSaturationGains.h"

#include <cmath>

namespace {

// Slightly less than a quarter turn, so the sine never quite reaches 1.
constexpr double kQuarterSine = 1.5705;

struct GainRow {
    int shadow;    // gain at black
    int flatStart; // first lightness of full gain
    int flatEnd;   // first lightness past it
    int highlight; // gain at white
    double scale;  // applied to the whole table
};

constexpr int kLevels = 10;

const GainRow kGainRows[2][kLevels] = {
    {{128, 50, 254, 128, 1.0},
     {117, 51, 237, 114, 1.0},
     {105, 52, 222, 100, 1.0},
     {93, 54, 209, 88, 1.0},
     {79, 57, 198, 76, 0.98},
     {65, 60, 190, 65, 0.96},
     {50, 64, 184, 55, 0.94},
     {34, 69, 180, 46, 0.92},
     {17, 74, 179, 37, 0.8},
     {0, 80, 180, 30, 0.7}},
    {{60, 45, 220, 80, 1.0},
     {56, 50, 219, 75, 0.99},
     {52, 55, 217, 69, 0.98},
     {48, 60, 216, 64, 0.96},
     {43, 65, 214, 58, 0.95},
     {39, 70, 213, 53, 0.94},
     {35, 75, 211, 47, 0.93},
     {31, 80, 210, 42, 0.91},
     {13, 90, 210, 29, 0.8},
     {0, 100, 200, 21, 0.7}},
};

// The gain before scaling, rising on a quarter sine from `end` to 128 over
// `steps` lightness steps, `step` steps in; truncated.
int Shoulder(int end, int step, int steps)
{
    return int(end + (kTlUnityGain - end) * std::sin(kQuarterSine * step / steps));
}

int GainAt(const GainRow& row, int lightness)
{
    const int last = kTlGainEntries - 1;
    if (lightness < row.flatStart)
        return Shoulder(row.shadow, lightness, row.flatStart);
    if (lightness < row.flatEnd)
        return kTlUnityGain;
    return Shoulder(row.highlight, last - lightness, last - row.flatEnd);
}

} // namespace

bool TlUsesSecondGainSet(std::uint16_t toneMode)
{
    return toneMode == 260 || toneMode == 1026;
}

void TlBuildSaturationGains(int set, int level, int (&gains)[kTlGainEntries])
{
    const GainRow& row = kGainRows[set != 0 ? 1 : 0][level < 0 ? 0 : level >= kLevels ? kLevels - 1 : level];
    for (int lightness = 0; lightness < kTlGainEntries; ++lightness) {
        const int x = GainAt(row, lightness);
        gains[lightness] = x < 0 ? 0 : int(x * row.scale);
    }
}
