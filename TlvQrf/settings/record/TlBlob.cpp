#include "settings/record/TlBlob.h"

#include "settings/record/TlFieldCopy.h"

#include <cstring>
#include <new>
#include <utility>

CTlBlob::CTlBlob(const CTlBlob& other)
{
    if (!Set(other.m_data, other.m_count))
        throw std::bad_alloc();
}

CTlBlob::CTlBlob(CTlBlob&& other) noexcept : m_data(other.m_data), m_count(other.m_count)
{
    other.m_data = nullptr;
    other.m_count = 0;
}

CTlBlob& CTlBlob::operator=(CTlBlob&& other) noexcept
{
    if (this != &other) {
        Free();
        std::swap(m_data, other.m_data);
        std::swap(m_count, other.m_count);
    }
    return *this;
}

CTlBlob& CTlBlob::operator=(const CTlBlob& other)
{
    if (this != &other)
        Set(other.m_data, other.m_count);
    return *this;
}

CTlBlob::~CTlBlob()
{
    Free();
}

void CTlBlob::Free()
{
    delete[] m_data;
    m_data = nullptr;
    m_count = 0;
}

bool CTlBlob::Set(const void* source, std::size_t count)
{
    Free();
    if (count == 0)
        return true;
    m_data = new (std::nothrow) unsigned char[count];
    if (m_data == nullptr)
        return false;
    m_count = count;
    if (source != nullptr)
        CopyBytes(source, m_data, count);
    else
        std::memset(m_data, 0, count);
    return true;
}

void CTlBlob::Get(const unsigned char** data, std::size_t* count) const
{
    if (data == nullptr || count == nullptr)
        return;
    *data = m_data;
    *count = m_count;
}
