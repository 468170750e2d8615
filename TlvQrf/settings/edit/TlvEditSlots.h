// The slots of the top-level edit-settings record as one table, in the
// order Save writes them. Save, Load and UpdateDefaultFlags all walk it.
#pragma once

#include "settings/edit/TlvEditSettings.h"

#include <cstddef>
#include <cstdint>

class CTlLutGroup;

enum class TlvSlotKind {
    Record,     // a nested record, stored whole
    CurveGroup, // a curve container; its kind picks the slot
    Geometry,   // loaded last, adapted to the flip value, angle and image size
    Flip,       // the flip value's low byte
    Angle,      // the angle as u16
    Marker,     // the byte written with every record
    Data,       // the data block, as a bare entry
    Name,       // read only: a NUL-terminated name
};

struct TlvEditSlot {
    std::uint32_t bit; // 0 for the marker, which no mask selects
    TlvSlotKind kind;
    // The id of the slot's entry: the nested record's, or the value entry's.
    const TlGuid* entryId;
    // The slot's flag entry; null when it has none.
    const TlGuid* flagId;
    int curveKind; // the container kind of a curve slot, else 0
    // The slot's members in a record; null for slots without a record.
    std::uint8_t* (*flag)(CTlvEditSettings& settings);
    ITlState* (*record)(const CTlvEditSettings& settings);
    // True when the slot's record is present and at its defaults.
    bool (*atDefaults)(const CTlvEditSettings& settings);
};

struct TlvEditSlotList {
    const TlvEditSlot* first;
    std::size_t count;
    const TlvEditSlot* begin() const { return first; }
    const TlvEditSlot* end() const { return first + count; }
};

TlvEditSlotList TlvEditSlots();
// The slot whose flag entry, or whose own entry, has this id; null when none.
// The three curve slots share one entry id: use TlvCurveSlot for them.
const TlvEditSlot* TlvSlotByFlagId(const unsigned char* id);
const TlvEditSlot* TlvSlotByEntryId(const unsigned char* id);
// The curve slot of a container kind (1 to 3); null for other kinds.
const TlvEditSlot* TlvCurveSlot(int curveKind);
// The slot of one of the table's bits; null for any other value.
const TlvEditSlot* TlvSlotByBit(std::uint32_t bit);

ITlState* TlvSlotRecord(const CTlvEditSettings& settings, const TlvEditSlot& slot);
CTlLutGroup* TlvCurveGroup(const CTlvEditSettings& settings, const TlvEditSlot& slot);

// The record mask selects the slot (a mask of 0 selects every slot).
bool TlvRecordSelected(const CTlvEditSettings& settings, std::uint32_t bit);
// The record mask selects the slot and its record is present.
ITlState* TlvSelectedRecord(const CTlvEditSettings& settings, const TlvEditSlot& slot);
// The flag mask selects the slot's flag entry. A mask of 0 selects every
// slot, but the curve and sharpening slots only when their record is present.
bool TlvFlagSelected(const CTlvEditSettings& settings, const TlvEditSlot& slot);
// Sets the slot's flag byte (as 0 or 1) when the flag mask selects it, and
// notes the slot in flagsDone.
void TlvSetFlag(CTlvEditSettings& settings, std::uint32_t bit, std::uint8_t value);
