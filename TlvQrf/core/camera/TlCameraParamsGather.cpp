#include "camera/TlCameraParamsGather.h"

#include "camera/TlCameraTables.h"
#include "camera/TlCameraTagReads.h"
#include "kelvra/KelvraTagControl.h"
#include "params/TlvParamSet.h"
#include "raw/TlToneTables.h"
#include "settings/whitebalance/TlWhiteBalance.h"

#include <cmath>
#include <new>

namespace {

enum : std::uint32_t {
    kTagWhiteBalance = 0x80005,
    kTagFineTune = 0x8000B,
    kTagGains = 0x8000C,
    kTagSensitivity = 0x80002,
    kTagTone = 0x80081,
    kTagWbFlag = 0x80087,
    kTagColourMode = 0x8008D,
    kTagSubMode = 0x80090,
    kTagColourData = 0x80097,
    kTagExposureTime = 0x829A,
    kTagFNumber = 0x829D,
};

constexpr std::size_t kColourDataSize = 304;
constexpr int kCurveEntries = 65536;

std::int32_t ColourModeFromSettings(int choice)
{
    static const std::int32_t modes[] = {0, 2, 3, 1, 4, 5, 6};
    return choice >= 0 && choice <= 6 ? modes[choice] : 0;
}

std::int32_t ColourModeFromTag(std::int32_t value)
{
    return value >= 1 && value <= 5 ? value + 1 : 0;
}

void GatherColourMode(const CTlvParamSet& set, TlCameraProfileParams& p, std::int32_t* tagMode)
{
    *tagMode = -1;
    const CTlAdjustState* adjust = set.Adjust();
    if (adjust && adjust->ColourSpaceChoice() != 0) {
        p.colourMode = ColourModeFromSettings(adjust->ColourSpaceChoice());
        p.colourModeFromSettings = 1;
        return;
    }
    std::int32_t value = 0;
    if (TlReadTagLong(set.tags, kTagColourMode, &value)) {
        *tagMode = value;
        p.colourMode = ColourModeFromTag(value);
    } else {
        p.colourMode = p.cameraKind == kTlCameraKX7 ? 1 : 0;
    }
}

// A preset code's temperature; a temperature record whose code has none
// keeps the record's own temperature.
std::int32_t SettingsKelvin(const CTlWhiteBalanceState& wb, std::int32_t code)
{
    const std::int32_t kelvin = WhiteBalancePresetToKelvin(code);
    return kelvin == 0 && wb.mode == CTlWhiteBalanceState::kModeTemperature ? wb.temperature : kelvin;
}

// False when the settings leave the white balance to the tags.
bool GatherSettingsWhiteBalance(const CTlvParamSet& set, TlCameraProfileParams& p)
{
    const CTlWhiteBalanceState* wb = set.WhiteBalance();
    if (!wb || wb->mode == 1 || wb->mode == 2)
        return false;
    if (wb->mode == 0) {
        p.wbSource = kTlWbNone;
        p.kelvin = 0;
        return true;
    }
    const std::int32_t code = wb->preset;
    if (wb->mode == CTlWhiteBalanceState::kModePreset) {
        p.wbSource = kTlWbSettingsKelvin;
        p.kelvin = WhiteBalancePresetToKelvin(code);
    } else {
        p.wbSource = kTlWbSettingsPreset;
        if (code >= 768 && code <= 772) {
            p.subMode = 1;
            p.kelvin = WhiteBalancePresetToKelvin(4098);
        } else if (code >= 1024 && code <= 1028) {
            p.subMode = 2;
            p.kelvin = WhiteBalancePresetToKelvin(4098);
        } else if (code == 1280) {
            p.subMode = 3;
            p.kelvin = WhiteBalancePresetToKelvin(1280);
        } else {
            p.kelvin = SettingsKelvin(*wb, code);
        }
    }
    p.wbFlag = wb->mode == CTlWhiteBalanceState::kModeTemperature && code == 1280;
    KelvinToChannelGains(code, std::uint16_t(p.kelvin), &p.gains[0], &p.gains[1], std::int16_t(set.modelCode));
    return true;
}

void PresetKelvin(std::int32_t fineTune, TlCameraProfileParams& p)
{
    p.subMode = 2;
    if (fineTune == 1)
        p.kelvin = 3700;
    else if (fineTune == 2)
        p.kelvin = 3000;
    else if (fineTune >= 3 && fineTune <= 6)
        p.kelvin = 2700;
    else if (fineTune >= -6 && fineTune <= -3)
        p.kelvin = 7200;
    else if (fineTune == -2)
        p.kelvin = 6500;
    else if (fineTune == -1)
        p.kelvin = 5500;
    else {
        p.kelvin = 4200;
        p.subMode = 1;
    }
}

void GatherTagWhiteBalance(const IKelvraTagControl* tags, TlCameraProfileParams& p)
{
    std::int32_t words[2] = {0, 0};
    if (!TlReadTagBytes(tags, kTagWhiteBalance, words, sizeof words)) {
        p.wbSource = kTlWbNone;
    } else if ((words[0] & 0xF) == 7) {
        p.wbSource = kTlWbPresetSeven;
        p.presetWord = 7;
    } else if (words[0] != 0) {
        p.wbSource = kTlWbPreset;
        p.presetWord = words[0];
    } else {
        p.wbSource = kTlWbAutomatic;
        std::int32_t subMode = 0;
        if (tags->GetTagType(kTagSubMode) == kKelvraTagTypeLong && TlReadTagLong(tags, kTagSubMode, &subMode))
            p.subMode = subMode;
    }
    p.wbTagWords[0] = words[0];
    p.wbTagWords[1] = words[1];
    std::int32_t fine = 0;
    if (TlReadTagLong(tags, kTagFineTune, &fine) && fine > 32000)
        fine = std::int16_t(fine);
    p.fineTune = fine;
    if (p.wbSource == kTlWbPreset && p.presetWord == 2)
        PresetKelvin(fine, p);
    std::uint8_t flag = 0;
    TlReadTagBytes(tags, kTagWbFlag, &flag, 1);
    p.wbFlag = flag;
    double gains[2] = {1.0, 1.0};
    if (TlReadTagBytes(tags, kTagGains, gains, sizeof gains)) {
        p.gains[0] = gains[0];
        p.gains[1] = gains[1];
    }
}

std::int32_t FallbackTone(const TlCameraProfileParams& p)
{
    const bool family = p.cameraKind >= kTlCameraKX7 && p.cameraKind <= kTlCameraKX6;
    return family && (p.colourMode == 2 || p.colourMode == 3) ? 2 : 3;
}

void GatherTone(const CTlvParamSet& set, TlCameraProfileParams& p)
{
    const CTlAdjustState* adjust = set.Adjust();
    if (adjust && adjust->ToneMode() != 0) {
        p.toneSource = 1;
        static const std::int32_t tones[] = {-1, -1, 0, 6, kTlCustomTone, 1, 5};
        const int mode = adjust->ToneMode();
        p.tone = mode >= 0 && mode <= 6 && tones[mode] >= 0 ? tones[mode] : FallbackTone(p);
        return;
    }
    p.toneSource = 0;
    std::int32_t value = 0;
    if (!TlReadTagLong(set.tags, kTagTone, &value))
        value = 0;
    switch (value) {
    case 1: p.tone = 0; break;
    case 2: p.tone = 6; break;
    case 4: p.toneSource = 2; break;
    case 5: p.tone = 1; break;
    case 6: p.tone = 5; break;
    case 16: p.tone = kTlCustomTone; break;
    default: p.tone = FallbackTone(p); break;
    }
}

long CurveNumber(const std::uint16_t* curve)
{
    return long(TlCameraTablesChecksum(curve, kCurveEntries * sizeof *curve) % 100000000u);
}

void GatherCustomCurve(const CTlvParamSet& set, TlGatheredParams& g)
{
    TlCameraProfileParams& p = g.params;
    if (p.tone != kTlCustomTone)
        return;
    g.curve.reset(new (std::nothrow) std::uint16_t[kCurveEntries]);
    if (!g.curve || !BuildToneTable(set.tags, set.RawDevelopment(), g.curve.get(), 16)) {
        g.curve.reset();
        p.toneSource = 1;
        p.tone = (p.cameraKind >= kTlCameraKX7 && p.cameraKind <= kTlCameraKX6) ? 2 : 3;
        return;
    }
    p.curve = g.curve.get();
    p.curveInputBits = 16;
    p.curveOutputBits = 16;
    g.customCurveNumber = CurveNumber(p.curve);
}

void GatherColourData(const IKelvraTagControl* tags, std::int32_t tagMode, TlCameraProfileParams& p)
{
    std::uint8_t data[kColourDataSize];
    TlReadTagBytes(tags, kTagColourData, data, sizeof data);
    p.hueIndex = data[7];
    if (p.cameraKind == kTlCameraKX6 && tagMode == 3)
        p.hueIndex += 300;
    p.colourBytes[0] = data[12];
    p.colourBytes[1] = data[11];
    p.colourBytes[2] = data[10];
    p.colourBytes[3] = data[9];
    p.colourByte8 = data[8];
    if (p.toneSource == 2)
        p.tone = data[4] < 21 ? data[4] % 7 : data[4];
}

// The ISO speed: the second word of the sensitivity tag, 200 when unreadable.
std::uint16_t Sensitivity(const IKelvraTagControl* tags)
{
    std::uint16_t words[2] = {0, 200};
    if (!TlReadTagBytes(tags, kTagSensitivity, words, sizeof words) || words[1] == 0)
        return 200;
    return words[1];
}

double PositiveOrOne(double value)
{
    return value > 0 && std::isfinite(value) ? value : 1.0;
}

} // namespace

double TlBrightnessValue(const IKelvraTagControl* tags)
{
    double fNumber = 1.0, time = 1.0;
    if (!TlReadTagDouble(tags, kTagFNumber, &fNumber))
        fNumber = 1.0;
    if (!TlReadTagDouble(tags, kTagExposureTime, &time))
        time = 1.0;
    fNumber = PositiveOrOne(fNumber);
    time = PositiveOrOne(time);
    const double av = std::log2(fNumber * fNumber);
    const double sv = std::log2(double(Sensitivity(tags))) - 1.643856;
    const double shutter = std::log(1.0 / (time * std::log(2.0)));
    return av + shutter - sv;
}

void TlGatherCameraParams(const CTlvParamSet& set, TlGatheredParams* gathered)
{
    TlGatheredParams& g = *gathered;
    g.params = TlCameraProfileParams();
    TlCameraProfileParams& p = g.params;
    p.cameraKind = TlCameraKindOf(set.modelCode);
    std::int32_t tagMode = -1;
    GatherColourMode(set, p, &tagMode);
    if (!GatherSettingsWhiteBalance(set, p))
        GatherTagWhiteBalance(set.tags, p);
    GatherTone(set, p);
    GatherCustomCurve(set, g);
    GatherColourData(set.tags, tagMode, p);
    p.brightness = TlBrightnessValue(set.tags);
    p.iso = Sensitivity(set.tags);
}
