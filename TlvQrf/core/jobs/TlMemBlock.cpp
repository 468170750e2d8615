#include "jobs/TlMemBlock.h"

#include <new>

CTlMemBlock::CTlMemBlock(std::uint32_t n)
{
    Allocate(n);
}

CTlMemBlock::~CTlMemBlock()
{
    Free();
    // A zero-byte allocation survives Free (its size is 0); it goes here.
    ReleaseBytes();
}

void* CTlMemBlock::Get()
{
    return GetPointer();
}

void* CTlMemBlock::GetPointer()
{
    return IsLocked() ? m_bytes : nullptr;
}

std::uint32_t CTlMemBlock::GetSize()
{
    return m_size;
}

bool CTlMemBlock::IsLocked()
{
    return m_locked != 0;
}

bool CTlMemBlock::IsUnlocked()
{
    return !IsLocked();
}

void CTlMemBlock::Free()
{
    if (m_size == 0)
        return;
    ReleaseBytes();
    m_size = 0;
    m_locked = 0;
}

std::uint32_t CTlMemBlock::Reallocate(std::uint32_t n)
{
    Free();
    ReleaseBytes();
    Allocate(n);
    return m_size;
}

void* CTlMemBlock::Lock()
{
    m_locked = 1;
    return GetPointer();
}

void CTlMemBlock::Unlock()
{
    m_locked = 0;
}

void CTlMemBlock::Allocate(std::uint32_t n)
{
    m_bytes = new (std::nothrow) std::uint8_t[n];
    if (!m_bytes)
        return;
    m_size = n;
    m_locked = 0;
}

void CTlMemBlock::ReleaseBytes()
{
    delete[] m_bytes;
    m_bytes = nullptr;
}
