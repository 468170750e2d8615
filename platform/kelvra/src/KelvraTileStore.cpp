#include "KelvraTileStore.h"

#include <algorithm>
#include <iterator>

void CKelvraTileStore::Reset(std::size_t tileBytes)
{
    for (auto held = m_held.begin(); held != m_held.end();)
        held = held->second.reads == 0 && held->second.writes == 0 ? m_held.erase(held) : std::next(held);
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

void CKelvraTileStore::Hold(long id, Access access, const Buffer& buffer)
{
    auto held = m_held.emplace(id, Held()).first;
    std::vector<Buffer>& buffers = held->second.buffers;
    if (std::find(buffers.begin(), buffers.end(), buffer) == buffers.end()) {
        try {
            buffers.push_back(buffer);
        } catch (...) {
            if (buffers.empty()) // an entry made just now: leave no lock-less entry behind
                m_held.erase(held);
            throw;
        }
    }
    ++(access == Access::Write ? held->second.writes : held->second.reads);
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
    long& count = access == Access::Write ? held->second.writes : held->second.reads;
    if (count == 0)
        return false;
    --count;
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
