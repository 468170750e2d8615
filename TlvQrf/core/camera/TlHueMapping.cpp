// The hue index of the colour data as a temperature and sub-mode.
#include "camera/TlWhiteBalanceRules.h"

namespace {

struct HueRange {
    std::int32_t first, last, kelvin, subMode;
};

bool FindIn(const HueRange* ranges, int count, std::int32_t value, TlKelvinChoice* choice)
{
    for (int i = 0; i < count; ++i) {
        if (value >= ranges[i].first && value <= ranges[i].last) {
            *choice = {ranges[i].kelvin, ranges[i].subMode};
            return true;
        }
    }
    return false;
}

constexpr HueRange kRangeFlagged[] = {
    {0, 5, 3300, 0},    {6, 11, 4000, 0},   {36, 41, 4500, 0},   {66, 71, 5000, 0},
    {91, 97, 5000, 1},  {120, 125, 6000, 0}, {150, 155, 7000, 0}, {84, 90, 5000, 3},
};

constexpr HueRange kPlain[] = {
    {0, 6, 3300, 0},   {42, 48, 3300, 0},  {7, 13, 5000, 0},  {49, 55, 5000, 0},
    {14, 20, 7000, 0}, {56, 62, 7000, 0},  {21, 27, 5000, 2}, {63, 69, 5000, 2},
    {28, 34, 5000, 1}, {70, 76, 5000, 1},  {35, 41, 5000, 3}, {77, 83, 5000, 3},
};

// The runs of 7 within each block of 42 of sets A and B.
constexpr TlKelvinChoice kRuns[] = {{5000, 0}, {7000, 0}, {5000, 2}, {5000, 1}, {5000, 3}, {3300, 0}};

bool FamilyHue(const TlCameraSetUpState& state, TlKelvinChoice* choice)
{
    const std::int32_t value = state.hueValue;
    if (value >= 500) {
        *choice = {0, 0};
        return true;
    }
    if (state.hueRange)
        return FindIn(kRangeFlagged, int(sizeof kRangeFlagged / sizeof *kRangeFlagged), value, choice);
    return FindIn(kPlain, int(sizeof kPlain / sizeof *kPlain), value, choice);
}

// Counting from the set's base: 0 to 6, then blocks of 42 from 7; the last
// block ends at 125.
bool SetHue(std::int32_t offset, TlKelvinChoice* choice)
{
    if (offset < 0 || offset > 125)
        return false;
    if (offset <= 6) {
        *choice = {3300, 0};
        return true;
    }
    *choice = kRuns[((offset - 7) % 42) / 7];
    return true;
}

} // namespace

bool TlHueToKelvin(const TlCameraProfileParams& params, const TlCameraSetUpState& state, TlKelvinChoice* choice)
{
    if (params.cameraKind >= kTlCameraKX7 && params.cameraKind <= kTlCameraKX6)
        return FamilyHue(state, choice);
    const std::int32_t base = params.cameraKind == kTlCameraKX8A ? 500 : 700;
    std::int32_t value = state.hueValue;
    if (value < base)
        value += base;
    if (params.wbTagWords[0] == 8) {
        *choice = {params.wbTagWords[1], 0};
        return true;
    }
    return SetHue(value - base, choice);
}
