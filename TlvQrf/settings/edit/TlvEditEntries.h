// The nested entries of the top-level edit-settings record: every entry is a
// whole record (id, version, length word, body) standing back to back after
// the record's own header. Writing puts an entry only when it fits whole;
// reading walks the entries within both the stored length and the bytes
// actually present.
#pragma once

#include "settings/record/TlState.h"
#include "settings/record/TlStateWriter.h"

#include <cstddef>
#include <cstdint>

// Entries of the record's own values and flags carry version 1.
constexpr std::uint16_t kTlvValueEntryVersion = 1;

// Writes a value entry (header, then `bodySize` bytes of `body`) when it fits
// whole; the writer's running size grows either way. True when written.
bool TlvPutValueEntry(CTlStateWriter& writer, const TlGuid& id, const void* body, std::size_t bodySize);
// Writes a nested record, stored whole by its own Save, when it fits whole.
bool TlvPutRecordEntry(CTlStateWriter& writer, ITlState& record);

// One entry found by the walk: it lies wholly within the walk's bounds.
struct TlvEntry {
    const unsigned char* bytes = nullptr;
    int size = 0; // its length word + 18

    bool HasId(const TlGuid& id) const;
    // The bytes after the 22-byte header.
    const unsigned char* Body() const { return bytes + TlStateLayout::kHeaderSize; }
    int BodySize() const { return size - TlStateLayout::kHeaderSize; }
    // The first byte or u16 of the body; false when the entry is too short.
    bool GetByte(std::uint8_t& value) const;
    bool GetU16(std::uint16_t& value) const;
};

class CTlvEntryWalk {
public:
    // Entries from `start` up to the end of the stored record (18 + its
    // length word) or of the buffer, whichever comes first.
    CTlvEntryWalk(const unsigned char* buffer, int size, int start, std::uint32_t storedLength);

    // The next entry. False at the end of the bounds, and also, ending the
    // walk, for an entry whose length word is too small to cover its own
    // header (the next entry cannot be found from it) or which runs past the
    // bounds (it is passed over, and nothing after it lies within them).
    bool Next(TlvEntry& entry);
    // The end of the last entry found.
    int Offset() const { return static_cast<int>(m_offset); }

private:
    const unsigned char* m_buffer;
    std::int64_t m_end;
    std::int64_t m_offset;
    bool m_stopped = false;
};
