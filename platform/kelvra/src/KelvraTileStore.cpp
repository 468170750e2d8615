#include "KelvraTileStore.h"

#include <algorithm>
#include <iterator>

void CKelvraTileStore::Reset(std::size_t tileBytes)
{
    for (auto held = m_held.begin(); held != m_held.end();)
        held = held->second.reads == 0 && held->second.writes == 0 ? m_held.erase(held) : std::next(held);
    PinLockedBuffers();
    m_tiles.clear();
    m_zero.reset();
    m_tileBytes = tileBytes;
}

CKelvraTileStore::Buffer CKelvraTileStore::NewBuffer() const
{
    return Buffer(new std::uint8_t[m_tileBytes]());
}

CKelvraTileStore::Buffer CKelvraTileStore::BufferFor(long id, Access access)
{
    auto stored = m_tiles.find(id);
    if (stored != m_tiles.end())
        return stored->second;
    if (access == Access::Write)
        return m_tiles.emplace(id, NewBuffer()).first->second;
    if (!m_zero)
        m_zero = NewBuffer(); // shared by every unwritten tile; nobody may write it
    return m_zero;
}

void CKelvraTileStore::PinLockedBuffers()
{
    for (auto& held : m_held) {
        auto stored = m_tiles.find(held.first);
        if (stored != m_tiles.end())
            held.second.buffers.push_back(stored->second); // into the room Hold kept: cannot throw
    }
}

void CKelvraTileStore::Hold(long id, Access access, const Buffer& buffer)
{
    auto held = m_held.try_emplace(id).first;
    std::vector<Buffer>& buffers = held->second.buffers;
    try {
        buffers.reserve(buffers.size() + 2); // this buffer, and the stored one should the pixels go
    } catch (...) {
        if (buffers.empty() && held->second.reads == 0 && held->second.writes == 0)
            m_held.erase(held); // an entry made just now: leave no lock-less entry behind
        throw;
    }
    auto stored = m_tiles.find(id);
    const bool keptByStore = stored != m_tiles.end() && stored->second == buffer;
    if (!keptByStore && std::find(buffers.begin(), buffers.end(), buffer) == buffers.end())
        buffers.push_back(buffer);
    if (access == Access::Write)
        ++held->second.writes;
    else
        ++held->second.reads;
}

std::uint8_t* CKelvraTileStore::Lock(long id, Access access)
{
    const Buffer buffer = BufferFor(id, access);
    Hold(id, access, buffer);
    return buffer.get();
}

bool CKelvraTileStore::Unlock(long id, Access access)
{
    auto held = m_held.find(id);
    if (held == m_held.end())
        return false;
    if (access == Access::Write) {
        if (held->second.writes == 0)
            return false;
        --held->second.writes;
    } else {
        if (held->second.reads == 0)
            return false;
        --held->second.reads;
    }
    if (held->second.reads == 0 && held->second.writes == 0) {
        held->second.buffers.clear(); // keeps its room for the next lock
        if (!m_tiles.count(id))
            m_held.erase(held);
    }
    return true;
}

bool CKelvraTileStore::Exists(long id) const
{
    return m_tiles.count(id) != 0;
}

std::uint8_t* CKelvraTileStore::LockReadShared(long id)
{
    auto stored = m_tiles.find(id);
    auto held = m_held.find(id);
    if (stored == m_tiles.end() || held == m_held.end() || !held->second.buffers.empty())
        return nullptr;
    held->second.reads.fetch_add(1, std::memory_order_relaxed);
    return stored->second.get();
}

bool CKelvraTileStore::UnlockReadShared(long id)
{
    auto held = m_held.find(id);
    if (held == m_held.end() || !held->second.buffers.empty() || !m_tiles.count(id))
        return false;
    long reads = held->second.reads.load(std::memory_order_relaxed);
    // The last lock of a stored tile changes nothing but the count either.
    while (reads > 0) {
        if (held->second.reads.compare_exchange_weak(reads, reads - 1, std::memory_order_relaxed))
            return true;
    }
    return false;
}
