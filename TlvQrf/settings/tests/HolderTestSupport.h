// Holders filled with values other than their defaults, and the stored
// forms of their records for comparing two holders.
#pragma once

#include "StateTestSupport.h"

#include "settings/curves/TlLut.h"
#include "settings/holders/TlvSettingsHolder.h"

#include <string>
#include <utility>
#include <vector>

namespace holder_test {

// Every record away from its defaults, every use flag flipped, and the
// holder's own values changed.
inline void FillHolder(CTlvSettingsHolder& h)
{
    h.usmList.entries.resize(2);
    h.usmList.entries[1].value1 = 40;
    if (auto* master = dynamic_cast<CTlLut*>(h.toneCurves.GetAt(0)))
        master->AddPoint(0.5, 0.6);
    h.brightnessContrast.SetContrast(0.5);
    if (auto* master = dynamic_cast<CTlLut*>(h.lch.GetAt(0)))
        master->SetBrightness(0.25);
    h.geometry.SetCropRect(200, 100, 4000, 3000, 0);
    h.geometry.SetRotation(1, 90, false);
    h.adjust.value = -0.75;
    h.adjust.mode = 2;
    h.whiteBalance.mode = CTlWhiteBalanceState::kModeGains;
    h.whiteBalance.firstGain = 2.25;
    h.whiteBalance.secondGain = 1.5;
    h.tripleValue.first = 5;
    h.tripleValue.second = 6;
    h.tripleValue.flag = true;
    h.general.values[0] = 1;
    h.general.values[3] = 9;
    h.vignette.value = 35;
    h.redEye.value = 3;
    h.redEye.flag = 1;
    h.redEye.firstRegions.resize(1);
    h.redEye.firstRegions[0].Set("\x01\x02\x03", 3);
    h.dust.SetData("dust", 4);
    h.dust.captureTime.year = 2004;
    h.revelation.first = 10;
    h.flags.flag = true;
    h.flags.value = 8;
    h.chromaBoost.amount = 60;
    h.chromaBoost.enabled = false;
    h.autoBrightness.exposureCompensation = 0.5;
    h.autoBrightness.useBlackLevel = true;
    h.autoBrightness.lowLevel = 3;
    h.autoBrightness.highLevel = 250;

    for (std::uint8_t* used : {&h.usmListUsed, &h.toneCurvesUsed, &h.brightnessContrastUsed, &h.lchUsed,
                               &h.adjustUsed, &h.whiteBalanceUsed, &h.tripleValueUsed, &h.vignetteUsed,
                               &h.redEyeUsed, &h.dustUsed, &h.revelationUsed, &h.flagsUsed, &h.pluginsUsed,
                               &h.chromaBoostUsed, &h.autoBrightnessUsed})
        *used = std::uint8_t(!*used);

    h.flip = 1;
    h.angle = 270;
    h.data.Set("block", 5);
}

using StoredForms = std::vector<std::pair<std::string, tlstate_test::Bytes>>;

// Each record's stored form, by name.
inline StoredForms StoredFormsOf(CTlvSettingsHolder& h)
{
    using tlstate_test::SaveWhole;
    return {
        {"sharpening list", SaveWhole(h.usmList)},
        {"tone curves", SaveWhole(h.toneCurves)},
        {"brightness and contrast", SaveWhole(h.brightnessContrast)},
        {"lch curves", SaveWhole(h.lch)},
        {"geometry", SaveWhole(h.geometry)},
        {"adjust", SaveWhole(h.adjust)},
        {"white balance", SaveWhole(h.whiteBalance)},
        {"triple value", SaveWhole(h.tripleValue)},
        {"general", SaveWhole(h.general)},
        {"vignette", SaveWhole(h.vignette)},
        {"red-eye", SaveWhole(h.redEye)},
        {"dust", SaveWhole(h.dust)},
        {"revelation", SaveWhole(h.revelation)},
        {"flags", SaveWhole(h.flags)},
        {"plug-ins", SaveWhole(h.plugins)},
        {"chroma boost", SaveWhole(h.chromaBoost)},
        {"auto brightness", SaveWhole(h.autoBrightness)},
    };
}

// The use flags in a fixed order.
inline std::vector<int> UseFlagsOf(const CTlvSettingsHolder& h)
{
    return {h.usmListUsed,     h.toneCurvesUsed, h.brightnessContrastUsed, h.lchUsed,    h.adjustUsed,
            h.whiteBalanceUsed, h.tripleValueUsed, h.vignetteUsed,          h.redEyeUsed, h.dustUsed,
            h.revelationUsed,  h.flagsUsed,      h.pluginsUsed,            h.chromaBoostUsed,
            h.autoBrightnessUsed};
}

} // namespace holder_test
