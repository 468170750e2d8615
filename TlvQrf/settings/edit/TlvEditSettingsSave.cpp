// Save: the header, then every slot in the table's order, each entry only
// when it fits whole. Nested records are written whole whatever their size.
#include "settings/edit/TlvEditSettings.h"

#include "settings/curves/TlLutGroup.h"
#include "settings/edit/TlvEditEntries.h"
#include "settings/edit/TlvEditSlots.h"
#include "settings/record/TlStateIds.h"

namespace {

constexpr std::uint16_t kVersion = 2;

// Writes the slot's own entry; true when it was written.
bool PutSlotEntry(CTlvEditSettings& settings, const TlvEditSlot& slot, CTlStateWriter& writer)
{
    switch (slot.kind) {
    case TlvSlotKind::CurveGroup: {
        CTlLutGroup* group = TlvCurveGroup(settings, slot);
        if (group != nullptr && TlvRecordSelected(settings, slot.bit))
            group->SetKind(slot.curveKind);
        [[fallthrough]];
    }
    case TlvSlotKind::Record:
    case TlvSlotKind::Geometry: {
        ITlState* record = TlvSelectedRecord(settings, slot);
        return record != nullptr && TlvPutRecordEntry(writer, *record);
    }
    case TlvSlotKind::Flip: {
        const auto flip = static_cast<std::uint8_t>(settings.flip);
        return TlvRecordSelected(settings, slot.bit) && TlvPutValueEntry(writer, *slot.entryId, &flip, sizeof flip);
    }
    case TlvSlotKind::Angle:
        return TlvRecordSelected(settings, slot.bit) &&
               TlvPutValueEntry(writer, *slot.entryId, &settings.angle, sizeof settings.angle);
    case TlvSlotKind::Marker:
        TlvPutValueEntry(writer, *slot.entryId, &settings.marker, sizeof settings.marker);
        return false; // the marker has no bit to report
    case TlvSlotKind::Data:
        return TlvRecordSelected(settings, slot.bit) && settings.data.HasData() &&
               TlvPutValueEntry(writer, *slot.entryId, settings.data.Data(), settings.data.Count());
    case TlvSlotKind::Name:
        return false; // read from old records only
    }
    return false;
}

} // namespace

int CTlvEditSettings::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdEditSettings, kVersion);
    recordsDone = 0;
    flagsDone = 0;
    for (const TlvEditSlot& slot : TlvEditSlots()) {
        if (slot.flagId != nullptr && TlvFlagSelected(*this, slot)) {
            const std::uint8_t flag = *slot.flag(*this);
            if (TlvPutValueEntry(writer, *slot.flagId, &flag, sizeof flag))
                flagsDone |= slot.bit;
        }
        if (PutSlotEntry(*this, slot, writer))
            recordsDone |= slot.bit;
    }
    return writer.Finish();
}
