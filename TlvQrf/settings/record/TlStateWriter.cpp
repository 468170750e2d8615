#include "settings/record/TlStateWriter.h"

#include "settings/record/TlFieldCopy.h"

#include <climits>

CTlStateWriter::CTlStateWriter(unsigned char* buffer, int size)
    : m_buffer(buffer), m_size(size < 0 ? 0 : size)
{
}

bool CTlStateWriter::Fits(std::int64_t width) const
{
    return m_buffer != nullptr && m_offset + width <= m_size;
}

void CTlStateWriter::PutField(const void* value, std::uint16_t width)
{
    if (Fits(width)) {
        WriteValue(value, m_buffer + m_offset, width);
        m_written = m_offset + width;
    }
    m_offset += width;
}

void CTlStateWriter::PutBytes(const void* data, std::size_t count)
{
    const auto width = static_cast<std::int64_t>(count);
    if (count != 0 && Fits(width)) {
        CopyBytes(data, m_buffer + m_offset, count);
        m_written = m_offset + width;
    }
    m_offset += width;
}

unsigned char* CTlStateWriter::Place(std::size_t count)
{
    const auto width = static_cast<std::int64_t>(count);
    unsigned char* place = nullptr;
    if (count != 0 && Fits(width)) {
        place = m_buffer + m_offset;
        m_written = m_offset + width;
    }
    m_offset += width;
    return place;
}

void CTlStateWriter::PutRecord(ITlState& record)
{
    const int size = record.GetSize();
    if (size <= 0)
        return;
    if (Fits(size)) {
        record.Save(m_buffer + m_offset, size);
        m_written = m_offset + size;
    }
    m_offset += size;
}

void CTlStateWriter::HeaderWithoutLength(const TlGuid& id, std::uint16_t version)
{
    PutBytes(&id, TlStateLayout::kIdSize);
    Put(version);
}

void CTlStateWriter::Header(const TlGuid& id, std::uint16_t version)
{
    HeaderWithoutLength(id, version);
    // The length word's place is only reserved here: its value is known last.
    m_hasLength = Fits(sizeof(std::uint32_t));
    m_offset += sizeof(std::uint32_t);
    if (m_hasLength)
        m_written = m_offset;
}

int CTlStateWriter::Finish()
{
    if (m_hasLength) {
        const auto length = static_cast<std::uint32_t>(m_written - TlStateLayout::kLengthBias);
        WriteValue(&length, m_buffer + TlStateLayout::kLengthOffset, sizeof length);
    }
    return m_offset > INT_MAX ? INT_MAX : static_cast<int>(m_offset);
}
