#include "settings/edit/TlvEditSlots.h"

#include "settings/curves/TlLutGroup.h"
#include "settings/dust/TlDustState.h"
#include "settings/edit/TlvEditDefaults.h"
#include "settings/edit/TlvEditEntryIds.h"
#include "settings/geometry/TlGeometryState.h"
#include "settings/plugins/TlPluginListState.h"
#include "settings/record/TlStateIds.h"
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

#include <cstring>
#include <iterator>
#include <type_traits>
#include <utility>

namespace {

// The members of one slot, reached through its member pointer.
template <auto Member>
struct SlotMembers {
    using Slot = std::remove_reference_t<decltype(std::declval<CTlvEditSettings&>().*Member)>;
    using Record = std::remove_pointer_t<decltype(Slot::record)>;

    static std::uint8_t* Flag(CTlvEditSettings& settings) { return &(settings.*Member).isDefault; }
    static ITlState* RecordOf(const CTlvEditSettings& settings) { return (settings.*Member).record; }
    static bool AtDefaults(const CTlvEditSettings& settings)
    {
        const Record* record = (settings.*Member).record;
        return record != nullptr && TlvAtDefaults(*record);
    }
};

template <auto Member>
constexpr TlvEditSlot RecordSlot(std::uint32_t bit, const TlGuid& entryId, const TlGuid* flagId,
                                 TlvSlotKind kind = TlvSlotKind::Record, int curveKind = 0)
{
    return TlvEditSlot{bit,
                       kind,
                       &entryId,
                       flagId,
                       curveKind,
                       &SlotMembers<Member>::Flag,
                       &SlotMembers<Member>::RecordOf,
                       &SlotMembers<Member>::AtDefaults};
}

constexpr TlvEditSlot ValueSlot(std::uint32_t bit, TlvSlotKind kind, const TlGuid& entryId)
{
    return TlvEditSlot{bit, kind, &entryId, nullptr, 0, nullptr, nullptr, nullptr};
}

using S = CTlvEditSettings;

const TlvEditSlot kSlots[] = {
    RecordSlot<&S::usmList>(kTlvSlotUsmList, kTlIdUsmListState, &kTlvFlagUsmList),
    RecordSlot<&S::toneCurves>(kTlvSlotToneCurves, kTlIdLutGroup, &kTlvFlagToneCurves, TlvSlotKind::CurveGroup,
                               kTlLutGroupToneCurves),
    RecordSlot<&S::brightnessContrast>(kTlvSlotBrightnessContrast, kTlIdLutGroup, &kTlvFlagBrightnessContrast,
                                       TlvSlotKind::CurveGroup, kTlLutGroupBrightnessContrast),
    RecordSlot<&S::lch>(kTlvSlotLch, kTlIdLutGroup, &kTlvFlagLch, TlvSlotKind::CurveGroup, kTlLutGroupLch),
    ValueSlot(kTlvSlotFlip, TlvSlotKind::Flip, kTlvEntryFlip),
    ValueSlot(kTlvSlotAngle, TlvSlotKind::Angle, kTlvEntryAngle),
    RecordSlot<&S::revelation>(kTlvSlotRevelation, kTlIdRevelationState, &kTlvFlagRevelation),
    ValueSlot(0, TlvSlotKind::Marker, kTlvEntryMarker),
    RecordSlot<&S::dust>(kTlvSlotDust, kTlIdDustState, &kTlvFlagDust),
    RecordSlot<&S::geometry>(kTlvSlotGeometry, kTlIdGeometryState, nullptr, TlvSlotKind::Geometry),
    RecordSlot<&S::adjust>(kTlvSlotAdjust, kTlIdAdjustState, &kTlvFlagAdjust),
    RecordSlot<&S::whiteBalance>(kTlvSlotWhiteBalance, kTlIdWhiteBalanceState, &kTlvFlagWhiteBalance),
    RecordSlot<&S::tripleValue>(kTlvSlotTripleValue, kTlIdTripleValueState, &kTlvFlagTripleValue),
    RecordSlot<&S::flags>(kTlvSlotFlags, kTlIdFlagState, &kTlvFlagFlags),
    RecordSlot<&S::plugins>(kTlvSlotPlugins, kTlIdPluginListState, &kTlvFlagPlugins),
    RecordSlot<&S::chromaBoost>(kTlvSlotChromaBoost, kTlIdChromaBoostState, &kTlvFlagChromaBoost),
    ValueSlot(kTlvSlotData, TlvSlotKind::Data, kTlvEntryData),
    RecordSlot<&S::general>(kTlvSlotGeneral, kTlIdGeneralState, nullptr),
    RecordSlot<&S::vignette>(kTlvSlotVignette, kTlIdVignetteState, &kTlvFlagVignette),
    RecordSlot<&S::redEye>(kTlvSlotRedEye, kTlIdRedEyeState, &kTlvFlagRedEye),
    RecordSlot<&S::autoBrightness>(kTlvSlotAutoBrightness, kTlIdAutoBrightnessState, &kTlvFlagAutoBrightness),
    ValueSlot(kTlvSlotName, TlvSlotKind::Name, kTlvEntryName),
};

// Slots whose flag entry a flag mask of 0 selects only with their record.
constexpr std::uint32_t kFlagsNeedingRecord =
    kTlvSlotUsmList | kTlvSlotToneCurves | kTlvSlotBrightnessContrast | kTlvSlotLch;

bool SameId(const TlGuid* id, const unsigned char* stored)
{
    return id != nullptr && std::memcmp(id, stored, TlStateLayout::kIdSize) == 0;
}

} // namespace

TlvEditSlotList TlvEditSlots()
{
    return {kSlots, std::size(kSlots)};
}

const TlvEditSlot* TlvSlotByFlagId(const unsigned char* id)
{
    for (const TlvEditSlot& slot : kSlots) {
        if (SameId(slot.flagId, id))
            return &slot;
    }
    return nullptr;
}

const TlvEditSlot* TlvSlotByEntryId(const unsigned char* id)
{
    for (const TlvEditSlot& slot : kSlots) {
        if (SameId(slot.entryId, id))
            return &slot;
    }
    return nullptr;
}

const TlvEditSlot* TlvCurveSlot(int curveKind)
{
    for (const TlvEditSlot& slot : kSlots) {
        if (slot.kind == TlvSlotKind::CurveGroup && slot.curveKind == curveKind)
            return &slot;
    }
    return nullptr;
}

const TlvEditSlot* TlvSlotByBit(std::uint32_t bit)
{
    for (const TlvEditSlot& slot : kSlots) {
        if (bit != 0 && slot.bit == bit)
            return &slot;
    }
    return nullptr;
}

ITlState* TlvSlotRecord(const CTlvEditSettings& settings, const TlvEditSlot& slot)
{
    return slot.record != nullptr ? slot.record(settings) : nullptr;
}

CTlLutGroup* TlvCurveGroup(const CTlvEditSettings& settings, const TlvEditSlot& slot)
{
    if (slot.kind != TlvSlotKind::CurveGroup)
        return nullptr;
    return static_cast<CTlLutGroup*>(TlvSlotRecord(settings, slot));
}

bool TlvRecordSelected(const CTlvEditSettings& settings, std::uint32_t bit)
{
    return settings.recordMask == 0 || (settings.recordMask & bit) != 0;
}

ITlState* TlvSelectedRecord(const CTlvEditSettings& settings, const TlvEditSlot& slot)
{
    return TlvRecordSelected(settings, slot.bit) ? TlvSlotRecord(settings, slot) : nullptr;
}

bool TlvFlagSelected(const CTlvEditSettings& settings, const TlvEditSlot& slot)
{
    if (settings.flagMask != 0)
        return (settings.flagMask & slot.bit) != 0;
    return (slot.bit & kFlagsNeedingRecord) == 0 || TlvSlotRecord(settings, slot) != nullptr;
}

void TlvSetFlag(CTlvEditSettings& settings, std::uint32_t bit, std::uint8_t value)
{
    const TlvEditSlot* slot = TlvSlotByBit(bit);
    if (slot == nullptr || slot->flag == nullptr || !TlvFlagSelected(settings, *slot))
        return;
    *slot->flag(settings) = value != 0 ? 1 : 0;
    settings.flagsDone |= bit;
}
