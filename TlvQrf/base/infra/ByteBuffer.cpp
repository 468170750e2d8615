#include "infra/ByteBuffer.h"

#include <cstring>
#include <new>
#include <utility>

CByteBuffer::CByteBuffer(const CByteBuffer& other)
{
    if (Allocate(other.m_size) && m_size > 0)
        std::memcpy(m_data, other.m_data, static_cast<std::size_t>(m_size));
}

CByteBuffer& CByteBuffer::operator=(const CByteBuffer& other)
{
    if (this != &other) {
        CByteBuffer copy(other);
        std::swap(m_data, copy.m_data);
        std::swap(m_size, copy.m_size);
        std::swap(m_position, copy.m_position);
    }
    return *this;
}

CByteBuffer::~CByteBuffer()
{
    Free();
}

bool CByteBuffer::Allocate(int size)
{
    Free();
    if (size < 0)
        return false;
    if (size == 0)
        return true;
    m_data = new (std::nothrow) unsigned char[static_cast<std::size_t>(size)]();
    if (!m_data)
        return false;
    m_size = size;
    return true;
}

int CByteBuffer::Write(const void* bytes, int count)
{
    const int copied = Transferable(bytes, count);
    if (copied > 0)
        std::memcpy(m_data + m_position, bytes, static_cast<std::size_t>(copied));
    m_position += copied;
    return copied;
}

int CByteBuffer::Read(void* bytes, int count)
{
    const int copied = Transferable(bytes, count);
    if (copied > 0)
        std::memcpy(bytes, m_data + m_position, static_cast<std::size_t>(copied));
    m_position += copied;
    return copied;
}

int CByteBuffer::Transferable(const void* bytes, int count) const
{
    if (!bytes || count <= 0)
        return 0;
    const int room = m_size - m_position;
    return count < room ? count : room;
}

void CByteBuffer::Rewind()
{
    m_position = 0;
}

bool CByteBuffer::IsEmpty() const
{
    return m_size == 0;
}

void CByteBuffer::Free()
{
    delete[] m_data;
    m_data = nullptr;
    m_size = 0;
    m_position = 0;
}

const unsigned char* CByteBuffer::GetData() const
{
    return m_data;
}

int CByteBuffer::GetSize() const
{
    return m_size;
}

int CByteBuffer::GetPosition() const
{
    return m_position;
}
