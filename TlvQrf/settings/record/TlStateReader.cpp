#include "settings/record/TlStateReader.h"

#include "settings/record/TlFieldCopy.h"

#include <climits>
#include <cstring>

CTlStateReader::CTlStateReader(const unsigned char* buffer, int size)
    : m_buffer(buffer), m_size(buffer != nullptr && size > 0 ? size : 0)
{
}

bool CTlStateReader::Open(const TlGuid& id)
{
    if (m_size < TlStateLayout::kIdSize || std::memcmp(m_buffer, &id, TlStateLayout::kIdSize) != 0)
        return false;
    m_offset = TlStateLayout::kIdSize;
    m_version = 0;
    Get(m_version);
    return true;
}

bool CTlStateReader::SkipLength()
{
    std::uint32_t length = 0;
    if (!Get(length))
        return true;
    return static_cast<std::int64_t>(length) + TlStateLayout::kLengthBias <= m_size;
}

std::int64_t CTlStateReader::Remaining() const
{
    return m_offset < m_size ? m_size - m_offset : 0;
}

int CTlStateReader::Consumed() const
{
    return m_offset > INT_MAX ? INT_MAX : static_cast<int>(m_offset);
}

bool CTlStateReader::Has(std::int64_t count) const
{
    return count >= 0 && m_offset <= m_size && count <= m_size - m_offset;
}

bool CTlStateReader::GetField(void* value, std::uint16_t width)
{
    const bool present = Has(width);
    if (present)
        ReadValue(m_buffer + m_offset, value, width);
    m_offset += width;
    return present;
}

bool CTlStateReader::GetFlag(bool& value)
{
    std::uint8_t byte = 0;
    if (!Get(byte))
        return false;
    value = byte != 0;
    return true;
}

bool CTlStateReader::GetBytes(void* out, std::size_t count)
{
    const auto width = static_cast<std::int64_t>(count);
    const bool present = Has(width);
    if (present && count != 0)
        CopyBytes(m_buffer + m_offset, out, count);
    m_offset += width;
    return present;
}

int CTlStateReader::GetRecord(ITlState& record)
{
    const std::int64_t rest = Remaining();
    if (rest == 0)
        return 0;
    const int result = record.Load(m_buffer + m_offset, static_cast<int>(rest));
    if (result > 0)
        m_offset += result;
    return result;
}
