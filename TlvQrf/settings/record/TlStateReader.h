// Reads a record's stored form under the common rule: the id must match, the
// version counts as 0 when absent, and each field is read only when it ends
// within the block (absent fields leave the destination as it was). Every
// length read from the block is checked against the bytes actually present.
#pragma once

#include "settings/record/TlState.h"

#include <cstddef>
#include <cstdint>

class CTlStateReader {
public:
    CTlStateReader(const unsigned char* buffer, int size);

    // False when the block is shorter than an id or carries another id.
    // Otherwise takes the version and moves past it.
    bool Open(const TlGuid& id);
    // Moves past the length word. False when the block holds a length word
    // claiming more bytes than are present (a cut or corrupt record).
    bool SkipLength();

    std::uint16_t Version() const { return m_version; }
    // Offset of the next field, present or not.
    std::int64_t Offset() const { return m_offset; }
    // The next field's bytes; only meaningful after Has.
    const unsigned char* Here() const { return m_buffer + m_offset; }
    // Bytes present from the next field's offset on.
    std::int64_t Remaining() const;
    // The result a record reports: the offset reached, at most INT_MAX.
    int Consumed() const;

    // True when `count` bytes from the next field's offset are present.
    bool Has(std::int64_t count) const;

    template <typename T>
    bool Get(T& value)
    {
        return GetField(&value, sizeof(T));
    }
    // A flag byte, normalised to 0 or 1.
    bool GetFlag(bool& value);
    bool GetBytes(void* out, std::size_t count);
    void Skip(std::int64_t count) { m_offset += count; }
    // A nested record loaded from the rest of the block; its result.
    int GetRecord(ITlState& record);

private:
    bool GetField(void* value, std::uint16_t width);

    const unsigned char* m_buffer;
    std::int64_t m_size;
    std::int64_t m_offset = 0;
    std::uint16_t m_version = 0;
};
