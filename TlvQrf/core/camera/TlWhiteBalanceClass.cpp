// The white-balance class by camera kind, colour mode and the source of the
// white balance, and the temperature-index conversions.
#include "camera/TlCameraSetUp.h"

namespace {

bool IsModeOf(std::int32_t mode, std::initializer_list<std::int32_t> modes)
{
    for (std::int32_t m : modes)
        if (m == mode)
            return true;
    return false;
}

// Source 1 to 5 in class order; -1 where the source has no class.
std::int32_t BySource(std::int32_t source, std::int32_t s1, std::int32_t s2, std::int32_t s3, std::int32_t s4,
                      std::int32_t s5)
{
    switch (source) {
    case kTlWbAutomatic: return s1;
    case kTlWbPreset: return s2;
    case kTlWbPresetSeven: return s3;
    case kTlWbSettingsPreset: return s4;
    case kTlWbSettingsKelvin: return s5;
    default: return -1;
    }
}

std::int32_t Rule102(std::int32_t source) { return BySource(source, 102, 103, 106, 105, 104); }
std::int32_t Rule202(std::int32_t source) { return BySource(source, 202, 203, 206, 205, 204); }
std::int32_t Rule203(std::int32_t source) { return BySource(source, -1, 203, 206, 205, 204); }

// The white balance was chosen by hand: from the settings, a settings
// source, or the tone compensation from the settings.
bool ChosenByHand(const TlCameraProfileParams& p)
{
    return p.colourModeFromSettings || p.wbSource == kTlWbSettingsPreset || p.wbSource == kTlWbSettingsKelvin ||
           p.toneSource == 1;
}

std::int32_t KX7FamilyClass(const TlCameraProfileParams& p)
{
    const std::int32_t mode = p.colourMode, s = p.wbSource;
    const bool first = p.cameraKind == kTlCameraKX7;
    if (first && (mode == 1 || !p.colourModeFromSettings))
        return 10;
    if (IsModeOf(mode, {0, 2, 3}))
        return first ? BySource(s, 12, 3, 12, 5, 12) : BySource(s, 11, 3, 12, 5, 12);
    if (mode == 1)
        return 10;
    if (mode == 4)
        return BySource(s, 13, 13, 14, 15, 14);
    if (IsModeOf(mode, {5, 6}))
        return s == kTlWbAutomatic ? 212 : Rule203(s);
    return -1;
}

std::int32_t KX6Class(const TlCameraProfileParams& p)
{
    const std::int32_t mode = p.colourMode, s = p.wbSource;
    if (!ChosenByHand(p))
        return 1;
    if (IsModeOf(mode, {0, 2, 3}))
        return BySource(s, 2, 3, 4, 5, 4);
    if (mode == 4)
        return BySource(s, 6, 7, 8, 9, 8);
    if (IsModeOf(mode, {5, 6}))
        return s == kTlWbAutomatic ? 202 : Rule203(s);
    return -1;
}

std::int32_t KX8AClass(const TlCameraProfileParams& p)
{
    if (!ChosenByHand(p))
        return 101;
    return IsModeOf(p.colourMode, {5, 6}) ? Rule202(p.wbSource) : Rule102(p.wbSource);
}

std::int32_t KX5Class(const TlCameraProfileParams& p)
{
    if (IsModeOf(p.colourMode, {2, 4}))
        return Rule102(p.wbSource);
    if (!ChosenByHand(p))
        return 201;
    return Rule202(p.wbSource);
}

} // namespace

std::int32_t TlCameraKindOf(std::uint32_t modelCode)
{
    switch (modelCode) {
    case 257: return kTlCameraKX7;
    case 259: return kTlCameraKX7A;
    case 258: return kTlCameraKX7B;
    case 1025: return kTlCameraKX6;
    case 260: return kTlCameraKX8A;
    case 1026: return kTlCameraKX5;
    default: return kTlCameraNone;
    }
}

std::int32_t TlWhiteBalanceClass(const TlCameraProfileParams& params)
{
    switch (params.cameraKind) {
    case kTlCameraKX7:
    case kTlCameraKX7A:
    case kTlCameraKX7B: return KX7FamilyClass(params);
    case kTlCameraKX6: return KX6Class(params);
    case kTlCameraKX8A: return KX8AClass(params);
    case kTlCameraKX5: return KX5Class(params);
    default: return -1;
    }
}

std::int32_t KelvinToIndex(std::int32_t kelvin)
{
    if (kelvin <= 0)
        return 0;
    return std::int32_t((1000000.0 / kelvin - 83.0) / 1.3);
}

std::int32_t IndexToKelvin(std::int32_t index)
{
    const double divisor = 1.3 * index + 83.0;
    if (!(divisor > 0))
        return 0;
    return std::int32_t(1000000.0 / divisor);
}
