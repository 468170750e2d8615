// Writes a record's stored form under the common rule: each item (id,
// version, length word, fields) is written only when the buffer is non-null
// and the item ends within the buffer's size, while the running size always
// grows, so the result is the full size whatever was written.
#pragma once

#include "settings/record/TlState.h"

#include <cstddef>
#include <cstdint>

class CTlStateWriter {
public:
    CTlStateWriter(unsigned char* buffer, int size);

    // The header with its length word, filled by Finish.
    void Header(const TlGuid& id, std::uint16_t version);
    // The header of the one kind stored without a length word.
    void HeaderWithoutLength(const TlGuid& id, std::uint16_t version);

    template <typename T>
    void Put(T value)
    {
        PutField(&value, sizeof(T));
    }
    void PutFlag(bool value) { Put<std::uint8_t>(value ? 1 : 0); }
    void PutBytes(const void* data, std::size_t count);
    // A field of `count` bytes that the caller fills: its place in the
    // buffer when it fits, else null; the running size grows either way.
    unsigned char* Place(std::size_t count);
    // A nested record, stored whole by its own Save when it fits whole.
    void PutRecord(ITlState& record);

    // Fills the length word when its place was reached; returns the full size.
    int Finish();

private:
    bool Fits(std::int64_t width) const;
    void PutField(const void* value, std::uint16_t width);

    unsigned char* m_buffer;
    std::int64_t m_size;
    std::int64_t m_offset = 0;  // full size so far, written or not
    std::int64_t m_written = 0; // end of what was written
    bool m_hasLength = false;
};
