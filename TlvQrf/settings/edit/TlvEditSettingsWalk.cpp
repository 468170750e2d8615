// The current stored version: nested entries after the header, each found by
// its id and read into its slot; unknown entries are passed over.
#include "settings/curves/TlLutGroup.h"
#include "settings/edit/TlvEditLoading.h"
#include "settings/edit/TlvEditSlots.h"
#include "settings/record/TlFieldCopy.h"
#include "settings/record/TlStateIds.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>

namespace {

void ResetCurves(CTlvEditSettings& settings)
{
    for (int kind : {kTlLutGroupToneCurves, kTlLutGroupBrightnessContrast}) {
        const TlvEditSlot& slot = *TlvCurveSlot(kind);
        CTlLutGroup* group = TlvCurveGroup(settings, slot);
        if (group != nullptr && TlvRecordSelected(settings, slot.bit))
            group->Reset(true);
    }
}

void ReadFlagEntry(CTlvEditSettings& settings, const TlvEditSlot& slot, const TlvEntry& entry)
{
    std::uint8_t value = 0;
    if (entry.GetByte(value))
        TlvSetFlag(settings, slot.bit, value);
}

void ReadRecordEntry(CTlvEditSettings& settings, const TlvEditSlot& slot, const TlvEntry& entry)
{
    ITlState* record = TlvSelectedRecord(settings, slot);
    if (record != nullptr && record->Load(entry.bytes, entry.size) > 0)
        settings.recordsDone |= slot.bit;
}

// The stored kind picks the container; a container that refuses the entry,
// or a kind that is none of the three, passes it over.
void ReadCurveEntry(CTlvEditSettings& settings, const TlvEntry& entry, TlvLoadContext& context)
{
    CTlLutGroup probe;
    if (probe.Load(entry.bytes, entry.size) <= 0)
        return;
    const TlvEditSlot* slot = TlvCurveSlot(probe.GetKind());
    if (slot == nullptr)
        return;
    CTlLutGroup* group = TlvCurveGroup(settings, *slot);
    if (group == nullptr || !TlvRecordSelected(settings, slot->bit) || group->Load(entry.bytes, entry.size) <= 0)
        return;
    settings.recordsDone |= slot->bit;
    context.curvesRead |= slot->bit;
}

void ReadData(CTlvEditSettings& settings, const TlvEditSlot& slot, const TlvEntry& entry)
{
    if (!TlvFlagSelected(settings, slot))
        return;
    CTlBlob data;
    if (!data.Set(entry.Body(), static_cast<std::size_t>(entry.BodySize())))
        return;
    settings.data = std::move(data);
    settings.recordsDone |= slot.bit;
}

// The name ends at its NUL or, without one, at the end of its entry.
void ReadName(CTlvEditSettings& settings, const TlvEditSlot& slot, const TlvEntry& entry)
{
    if (!TlvFlagSelected(settings, slot))
        return;
    const auto* text = reinterpret_cast<const char*>(entry.Body());
    const auto bodySize = static_cast<std::size_t>(entry.BodySize());
    const void* end = std::memchr(text, '\0', bodySize);
    const std::size_t length =
        end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - text) : bodySize;
    try {
        settings.name.assign(text, length);
    } catch (const std::bad_alloc&) {
        return;
    }
    settings.recordsDone |= slot.bit;
}

void ReadValueEntry(CTlvEditSettings& settings, const TlvEditSlot& slot, const TlvEntry& entry)
{
    std::uint8_t byte = 0;
    std::uint16_t word = 0;
    switch (slot.kind) {
    case TlvSlotKind::Flip:
        if (TlvRecordSelected(settings, slot.bit) && entry.GetByte(byte)) {
            settings.flip = byte;
            settings.recordsDone |= slot.bit;
        }
        break;
    case TlvSlotKind::Angle:
        if (TlvRecordSelected(settings, slot.bit) && entry.GetU16(word)) {
            settings.angle = word;
            settings.recordsDone |= slot.bit;
        }
        break;
    case TlvSlotKind::Marker:
        if (entry.GetByte(byte))
            settings.marker = byte;
        break;
    case TlvSlotKind::Data:
        ReadData(settings, slot, entry);
        break;
    case TlvSlotKind::Name:
        ReadName(settings, slot, entry);
        break;
    default:
        break;
    }
}

void ReadEntry(CTlvEditSettings& settings, const TlvEntry& entry, TlvLoadContext& context)
{
    if (const TlvEditSlot* slot = TlvSlotByFlagId(entry.bytes)) {
        ReadFlagEntry(settings, *slot, entry);
        return;
    }
    if (entry.HasId(kTlIdLutGroup)) {
        ReadCurveEntry(settings, entry, context);
        return;
    }
    const TlvEditSlot* slot = TlvSlotByEntryId(entry.bytes);
    if (slot == nullptr)
        return;
    switch (slot->kind) {
    case TlvSlotKind::Record:
        ReadRecordEntry(settings, *slot, entry);
        break;
    case TlvSlotKind::Geometry:
        context.geometry = entry;
        context.hasGeometry = true;
        break;
    default:
        ReadValueEntry(settings, *slot, entry);
        break;
    }
}

} // namespace

int TlvLoadVersion2(CTlvEditSettings& settings, const unsigned char* buffer, int size, TlvLoadContext& context)
{
    std::uint32_t length = 0;
    if (size >= TlStateLayout::kHeaderSize)
        ReadValue(buffer + TlStateLayout::kLengthOffset, &length, sizeof length);
    if (settings.resetCurves != 0)
        ResetCurves(settings);
    CTlvEntryWalk walk(buffer, size, TlStateLayout::kHeaderSize, length);
    TlvEntry entry;
    while (walk.Next(entry))
        ReadEntry(settings, entry, context);
    TlvLoadGeometry(settings, context, true);
    return walk.Offset();
}
