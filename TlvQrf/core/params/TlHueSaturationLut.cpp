// The hue and saturation stage: a table in lightness-chroma-hue order.
#include "params/TlHueSaturationTables.h"
#include "params/TlToneLuts.h"

#include "params/TlLutInstall.h"
#include "params/TlLutTable.h"
#include "params/TlvParamSet.h"
#include "raw/TlQuietTagReads.h"

namespace {

constexpr int kEntries = 65536;
constexpr int kNeutralHue = 3;

int HueLevel(const CTlvParamSet& params)
{
    const CTlAdjustState* adjust = params.Adjust();
    if (adjust != nullptr && adjust->HueSet())
        return adjust->HueLevel();
    std::int32_t v = 0;
    return TryReadLongTag(params.tags, kTlvHueTag, &v) ? v / 3 + kNeutralHue : kNeutralHue;
}

// 0 as shot, 1 low, 2 normal, 3 high.
int SaturationMode(const CTlvParamSet& params)
{
    const CTlAdjustState* adjust = params.Adjust();
    if (adjust != nullptr && adjust->SaturationMode() != 0)
        return adjust->SaturationMode();
    std::int32_t v = 0;
    if (!TryReadLongTag(params.tags, kTlvSaturationTag, &v))
        return 0;
    switch (v) {
    case 2: return 1;
    case 3: return 3;
    default: return 2;
    }
}

double SaturationFactor(int mode)
{
    switch (mode) {
    case 1: return 0.85;
    case 3: return 1.1;
    default: return 1.0;
    }
}

// Where entry 0 of the hue table points: (3 x level - 9) degrees of a
// 65536 turn, truncated toward zero. Wide arithmetic, so that no level
// overflows.
std::int64_t HueShift(int hueLevel)
{
    return ((3 * static_cast<std::int64_t>(hueLevel) - 9) * 65536) / 360;
}

} // namespace

bool BuildHueSaturationTables(int hueLevel, double saturationFactor, STlLutTables& out)
{
    if (!out.Allocate(kEntries))
        return false;
    const std::int64_t shift = HueShift(hueLevel);
    for (int i = 0; i < kEntries; ++i) {
        out.channel[0][i] = static_cast<std::uint16_t>(i);
        out.channel[1][i] = ToneTableEntry(i * saturationFactor);
        const std::int64_t turned = (shift + i) % kEntries;
        out.channel[2][i] = static_cast<std::uint16_t>(turned < 0 ? turned + kEntries : turned);
    }
    return true;
}

bool GetHueSaturation(const CTlvParamSet& params, int* hueLevel, double* saturationFactor)
{
    int hue = kNeutralHue;
    double factor = 1.0;
    if (params.rawFlag != 0) {
        hue = HueLevel(params);
        factor = SaturationFactor(SaturationMode(params));
    }
    if (hueLevel != nullptr)
        *hueLevel = hue;
    if (saturationFactor != nullptr)
        *saturationFactor = factor;
    return hue != kNeutralHue || factor != 1.0;
}

bool SetHueSaturationLut(const CTlvParamSet& params, CKelvraFilterCML* cml, CKelvraFilterLut* lut)
{
    const STlLutTargets targets{cml, true, lut};
    if (!targets.IsSingle())
        return false;
    int hueLevel = kNeutralHue;
    double factor = 1.0;
    if (!GetHueSaturation(params, &hueLevel, &factor)) {
        InstallLutTablesQuietly(targets, STlLutInstall{nullptr, 0, 0, 0, true});
        return false;
    }
    STlLutTables tables;
    if (!BuildHueSaturationTables(hueLevel, factor, tables))
        return false;
    const std::uint16_t* pointers[3];
    tables.Pointers(pointers);
    return InstallLutTablesQuietly(targets, STlLutInstall{pointers, 16, 16, 3, true});
}
