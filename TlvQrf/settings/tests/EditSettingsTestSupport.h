// Helpers of the top-level edit-settings tests: a full set of nested records
// that a record points at, contents that differ from every default, and the
// functions that build stored blocks by hand.
#pragma once

#include "DustPluginGoldens.h"
#include "EditSettingsGoldens.h"
#include "StateTestSupport.h"

#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/curves/TlPointCurve.h"
#include "settings/dust/TlDustState.h"
#include "settings/curves/TlLutGroupDefaults.h"
#include "settings/edit/TlvEditSettings.h"
#include "settings/geometry/TlGeometryState.h"
#include "settings/plugins/TlPluginListState.h"
#include "settings/small/TlAdjustState.h"
#include "settings/small/TlAutoBrightnessState.h"
#include "settings/small/TlChromaBoostState.h"
#include "settings/small/TlFlagState.h"
#include "settings/small/TlLEGeneral.h"
#include "settings/small/TlRedEyeState.h"
#include "settings/small/TlRevelationState.h"
#include "settings/small/TlTripleValueState.h"
#include "settings/small/TlUsmListState.h"
#include "settings/small/TlVignetteState.h"
#include "settings/small/TlWhiteBalanceState.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace edit_test {

using tlstate_test::Bytes;
using tlstate_test::Hex;
using tlstate_test::SaveWhole;

// Every record a top-level record can point at, owned here.
struct EditRecords {
    CTlUsmListState usmList;
    CTlLutGroup toneCurves;
    CTlLutGroup brightnessContrast;
    CTlLutGroup lch;
    CTlRevelationState revelation;
    CTlDustState dust;
    CTlGeometryState geometry;
    CTlAdjustState adjust;
    CTlWhiteBalanceState whiteBalance;
    CTlTripleValueState tripleValue;
    CTlFlagState flags;
    CTlPluginListState plugins;
    CTlChromaBoostState chromaBoost;
    CTlLEGeneral general;
    CTlVignetteState vignette;
    CTlRedEyeState redEye;
    CTlAutoBrightnessState autoBrightness;

    EditRecords()
    {
        // Complete curve sets, so that a Load keeps what it reads.
        TlSetDefaultChannels(toneCurves, kTlLutGroupToneCurves);
        TlSetDefaultChannels(brightnessContrast, kTlLutGroupBrightnessContrast);
        lch.AddLut(1, {255, 255, 255}, {0, 0, 0}, {255, 255, 255});
        lch.AddLinearCurve(2, nullptr);
        lch.AddPointCurve(3);
    }

    void PointAt(CTlvEditSettings& settings)
    {
        settings.usmList.record = &usmList;
        settings.toneCurves.record = &toneCurves;
        settings.brightnessContrast.record = &brightnessContrast;
        settings.lch.record = &lch;
        settings.revelation.record = &revelation;
        settings.dust.record = &dust;
        settings.geometry.record = &geometry;
        settings.adjust.record = &adjust;
        settings.whiteBalance.record = &whiteBalance;
        settings.tripleValue.record = &tripleValue;
        settings.flags.record = &flags;
        settings.plugins.record = &plugins;
        settings.chromaBoost.record = &chromaBoost;
        settings.general.record = &general;
        settings.vignette.record = &vignette;
        settings.redEye.record = &redEye;
        settings.autoBrightness.record = &autoBrightness;
    }

    // The stored form of every record, in slot order.
    std::vector<Bytes> Stored()
    {
        std::vector<Bytes> all;
        for (ITlState* record : std::initializer_list<ITlState*>{
                 &usmList, &toneCurves, &brightnessContrast, &lch, &revelation, &dust, &geometry, &adjust,
                 &whiteBalance, &tripleValue, &flags, &plugins, &chromaBoost, &general, &vignette, &redEye,
                 &autoBrightness})
            all.push_back(SaveWhole(*record));
        return all;
    }
};

// Contents that differ from every default. The dust record gets
// `dustBytes` bytes of reference data.
inline void FillDistinct(EditRecords& r, std::size_t dustBytes = 100)
{
    CTlUsmState usm;
    usm.value1 = 100;
    usm.value2 = 50;
    r.usmList.entries = {usm, usm};
    static_cast<CTlLut*>(r.toneCurves.GetAt(1))->AddPoint(0.5, 0.75);
    r.toneCurves.SetContrast(0.25);
    static_cast<CTlLut*>(r.brightnessContrast.GetAt(0))->SetBrightness(0.5);
    static_cast<CTlLut*>(r.lch.GetAt(1))->AddPoint(0.25, 0.5);
    r.revelation.first = 10;
    r.revelation.second = -20;
    std::vector<unsigned char> reference(dustBytes);
    for (std::size_t i = 0; i < reference.size(); ++i)
        reference[i] = static_cast<unsigned char>(i * 7 + 3);
    r.dust.SetData(reference.data(), reference.size());
    r.dust.captureTime.year = 2024;
    r.dust.firstFurther = 0x0102;
    r.geometry = CTlGeometryState(300, 200, nullptr, 300);
    r.geometry.SetCropRect(20, 40, 300, 240, 0);
    r.geometry.SetRotation(1, 90, false);
    r.adjust.value = 1.25;
    r.adjust.first = 4;
    r.whiteBalance.firstGain = 1.5;
    r.whiteBalance.secondGain = 0.75;
    r.tripleValue.first = 4;
    r.tripleValue.second = 7;
    r.tripleValue.flag = true;
    r.flags.flag = true;
    r.flags.value = 9;
    tlstate_test::LoadBytes(r.plugins, Hex(tlstate_test::kPluginListStateV1));
    r.chromaBoost.amount = 42;
    r.chromaBoost.enabled = false;
    r.general.values[0] = 1;
    r.general.values[3] = 4;
    r.vignette.value = 33;
    r.redEye.value = 5;
    CTlBlob region;
    region.Set("eye", 3);
    r.redEye.firstRegions.push_back(region);
    r.autoBrightness.exposureCompensation = 0.5;
    r.autoBrightness.useBlackLevel = true;
}

// Values of the top-level record's own that differ from its defaults, and
// some flag bytes set.
inline void FillSettings(CTlvEditSettings& settings)
{
    settings.flip = 1;
    settings.angle = 90;
    settings.data.Set("\x01\x02\x03\x04\x05", 5);
    for (TlvSettingsSlot<CTlLutGroup>* slot : {&settings.toneCurves, &settings.brightnessContrast, &settings.lch})
        slot->isDefault = 1;
    settings.usmList.isDefault = 1;
    settings.adjust.isDefault = 1;
    settings.vignette.isDefault = 1;
}

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A value entry: id, version 1, length word, body.
inline Bytes ValueEntry(const char* idHex, const Bytes& body)
{
    Bytes entry = Hex(idHex);
    entry.insert(entry.end(), {0x01, 0x00, 0, 0, 0, 0});
    tlstate_test::PutU32(entry, 18, static_cast<std::uint32_t>(4 + body.size()));
    entry.insert(entry.end(), body.begin(), body.end());
    return entry;
}

// A top-level block of `version` around `entries`, its length word counting
// them.
inline Bytes EditBlock(std::initializer_list<Bytes> entries, std::uint16_t version = 2)
{
    Bytes block = Hex(kEditSettingsId);
    const auto low = static_cast<unsigned char>(version);
    const auto high = static_cast<unsigned char>(version >> 8);
    block.insert(block.end(), {low, high, 0, 0, 0, 0});
    for (const Bytes& entry : entries)
        block.insert(block.end(), entry.begin(), entry.end());
    tlstate_test::PutU32(block, 18, static_cast<std::uint32_t>(block.size() - 18));
    return block;
}

inline int LoadInto(CTlvEditSettings& settings, const Bytes& block, int width = 0, int height = 0)
{
    return settings.Load(block.data(), static_cast<int>(block.size()), width, height);
}

inline Bytes SaveSettings(CTlvEditSettings& settings)
{
    Bytes bytes(static_cast<std::size_t>(settings.GetSize()));
    settings.Save(bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

// The ids of the entries of a saved block, in order.
inline std::vector<Bytes> EntryIds(const Bytes& block)
{
    std::vector<Bytes> ids;
    std::size_t offset = 22;
    while (offset + 22 <= block.size()) {
        std::uint32_t length = 0;
        std::memcpy(&length, block.data() + offset + 18, 4);
        ids.emplace_back(block.begin() + long(offset), block.begin() + long(offset) + 16);
        offset += std::size_t(length) + 18;
    }
    return ids;
}

inline Bytes IdOf(ITlState& record)
{
    const auto* id = reinterpret_cast<const unsigned char*>(record.GetID());
    return Bytes(id, id + 16);
}

} // namespace edit_test
