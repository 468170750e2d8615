#include "settings/edit/TlvEditEntries.h"

#include "settings/record/TlFieldCopy.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::int64_t kHeader = TlStateLayout::kHeaderSize;

void PutHeader(unsigned char* place, const TlGuid& id, std::uint16_t version, std::uint32_t length)
{
    CopyBytes(&id, place + TlStateLayout::kIdOffset, TlStateLayout::kIdSize);
    WriteValue(&version, place + TlStateLayout::kVersionOffset, sizeof version);
    WriteValue(&length, place + TlStateLayout::kLengthOffset, sizeof length);
}

} // namespace

bool TlvPutValueEntry(CTlStateWriter& writer, const TlGuid& id, const void* body, std::size_t bodySize)
{
    // A body whose length word cannot say its size is not stored at all.
    const std::size_t maxBody = std::numeric_limits<std::uint32_t>::max() - (kHeader - TlStateLayout::kLengthBias);
    if (bodySize > maxBody)
        return false;
    unsigned char* place = writer.Place(static_cast<std::size_t>(kHeader) + bodySize);
    if (place == nullptr)
        return false;
    const auto length = static_cast<std::uint32_t>(kHeader - TlStateLayout::kLengthBias + bodySize);
    PutHeader(place, id, kTlvValueEntryVersion, length);
    if (bodySize != 0)
        CopyBytes(body, place + kHeader, bodySize);
    return true;
}

bool TlvPutRecordEntry(CTlStateWriter& writer, ITlState& record)
{
    const int size = record.GetSize();
    if (size <= 0)
        return false;
    unsigned char* place = writer.Place(static_cast<std::size_t>(size));
    if (place == nullptr)
        return false;
    record.Save(place, size);
    return true;
}

bool TlvEntry::HasId(const TlGuid& id) const
{
    return std::memcmp(bytes, &id, TlStateLayout::kIdSize) == 0;
}

bool TlvEntry::GetByte(std::uint8_t& value) const
{
    if (BodySize() < static_cast<int>(sizeof value))
        return false;
    ReadValue(Body(), &value, sizeof value);
    return true;
}

bool TlvEntry::GetU16(std::uint16_t& value) const
{
    if (BodySize() < static_cast<int>(sizeof value))
        return false;
    ReadValue(Body(), &value, sizeof value);
    return true;
}

CTlvEntryWalk::CTlvEntryWalk(const unsigned char* buffer, int size, int start, std::uint32_t storedLength)
    : m_buffer(buffer),
      m_end(std::min<std::int64_t>(buffer != nullptr && size > 0 ? size : 0,
                                   std::int64_t(storedLength) + TlStateLayout::kLengthBias)),
      m_offset(start)
{
}

bool CTlvEntryWalk::Next(TlvEntry& entry)
{
    if (m_stopped || m_end - m_offset < kHeader)
        return false;
    const unsigned char* here = m_buffer + m_offset;
    // The whole 32-bit length word: entries of 64 KB and more are common.
    std::uint32_t length = 0;
    ReadValue(here + TlStateLayout::kLengthOffset, &length, sizeof length);
    const std::int64_t entrySize = std::int64_t(length) + TlStateLayout::kLengthBias;
    if (entrySize < kHeader || entrySize > m_end - m_offset) {
        m_stopped = true;
        return false;
    }
    entry.bytes = here;
    entry.size = static_cast<int>(entrySize);
    m_offset += entrySize;
    return true;
}
