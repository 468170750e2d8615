#include "kelvra/KelvraTileCache.h"

#include <cstring>
#include <new>

KelvraRect KelvraTileLayout::TileRect(long column, long row) const
{
    KelvraRect cell(column * tileSize, row * tileSize, (column + 1) * tileSize, (row + 1) * tileSize);
    return cell.Intersection(KelvraRect(0, 0, width, height));
}

namespace {

const std::size_t kMostSpares = 32;

} // namespace

CKelvraTileBuffer::CKelvraTileBuffer(const KelvraRect& rect, long rowBytes, std::size_t bytes,
                                     std::unique_ptr<std::uint8_t[]> data)
    : m_rect(rect), m_rowBytes(rowBytes), m_bytes(bytes), m_data(std::move(data))
{
}

bool CKelvraTileBuffer::Reuse(const KelvraTileLayout& layout, long column, long row)
{
    if (layout.TileRowBytes() != m_rowBytes || std::size_t(m_rowBytes) * std::size_t(layout.tileSize) != m_bytes)
        return false;
    std::memset(m_data.get(), 0, m_bytes);
    m_rect = layout.TileRect(column, row);
    m_complete = false;
    return true;
}

std::shared_ptr<CKelvraTileBuffer> CKelvraTileBuffer::Create(const KelvraTileLayout& layout, long column, long row)
{
    const long rowBytes = layout.TileRowBytes();
    const std::size_t bytes = std::size_t(rowBytes) * std::size_t(layout.tileSize);
    std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[bytes]());
    if (!data)
        return nullptr;
    try {
        return std::shared_ptr<CKelvraTileBuffer>(
            new CKelvraTileBuffer(layout.TileRect(column, row), rowBytes, bytes, std::move(data)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool CKelvraTileBuffer::GetRectToFill(KelvraRect* rect) const
{
    if (m_complete || m_rect.IsEmpty())
        return false;
    if (rect)
        *rect = m_rect;
    return true;
}

void CKelvraTileBuffer::GetRect(KelvraRect* rect) const
{
    if (rect)
        *rect = m_rect;
}

IKelvraError* CKelvraTileBuffer::Lock(void** buffer)
{
    if (!buffer)
        return KELVRA_ERROR(nullptr, KelvraFourCC('K', 'T', 'i', 'l'), kKelvraMissingObject);
    *buffer = m_data.get();
    return nullptr;
}

void CKelvraTileCache::SetCapacity(long capacity)
{
    if (m_capacity.load(std::memory_order_relaxed) == capacity)
        return;
    std::lock_guard<CKelvraLock> guard(m_lock);
    m_capacity = capacity;
    TrimLocked();
}

long CKelvraTileCache::GetCapacity() const
{
    return m_capacity.load(std::memory_order_relaxed);
}

std::shared_ptr<CKelvraTileBuffer> CKelvraTileCache::FindLocked(long id, const KelvraRect& rect)
{
    auto it = m_entries.find(id);
    if (it == m_entries.end() || it->second.tile->Rect() != rect)
        return nullptr;
    m_useOrder.splice(m_useOrder.begin(), m_useOrder, it->second.use);
    return it->second.tile;
}

void CKelvraTileCache::HoldLocked(long id, const std::shared_ptr<CKelvraTileBuffer>& tile)
{
    auto found = m_held.find(id);
    if (found == m_held.end())
        found = m_heldNodes.InsertReset(m_held, id, [](Held& kept) {
            kept.locks = 0;
            kept.tiles.clear();
        });
    Held& held = found->second;
    held.locks++;
    for (const auto& kept : held.tiles) {
        if (kept == tile)
            return;
    }
    held.tiles.push_back(tile);
}

std::shared_ptr<CKelvraTileBuffer> CKelvraTileCache::FindOrClaimLocked(std::unique_lock<CKelvraLock>& guard, long id,
                                                                       const KelvraRect& rect)
{
    for (;;) {
        if (std::shared_ptr<CKelvraTileBuffer> tile = FindLocked(id, rect)) {
            HoldLocked(id, tile);
            return tile;
        }
        if (!m_making.count(id)) {
            m_makingNodes.InsertKey(m_making, id);
            return nullptr;
        }
        m_made.Wait(*guard.mutex(), [&] { return !m_making.count(id); });
    }
}

void CKelvraTileCache::StoreLocked(long id, const std::shared_ptr<CKelvraTileBuffer>& tile)
{
    auto it = m_entries.find(id);
    if (it != m_entries.end())
        EraseLocked(it);
    if (m_spareUses.empty()) {
        m_useOrder.push_front(id);
    } else {
        m_spareUses.front() = id;
        m_useOrder.splice(m_useOrder.begin(), m_spareUses, m_spareUses.begin());
    }
    try {
        m_entryNodes.InsertMapped(m_entries, id, Entry{tile, m_useOrder.begin()});
    } catch (...) {
        m_useOrder.pop_front();
        throw;
    }
    HoldLocked(id, tile);
    TrimLocked();
}

// Lets the threads waiting for tile `id` go on, made or not.
void CKelvraTileCache::ReleaseClaim(long id)
{
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        auto making = m_making.find(id);
        if (making != m_making.end())
            m_makingNodes.Erase(m_making, making);
    }
    m_made.WakeAll();
}

IKelvraError* CKelvraTileCache::Lock(const KelvraTileLayout& layout, long column, long row,
                                     const Generator& generate, const void** data, KelvraRect* rect,
                                     long* rowBytes, KelvraTag errorTag)
{
    if (!data)
        return KELVRA_ERROR(nullptr, errorTag, kKelvraMissingObject);
    if (!layout.HasTile(column, row))
        return KELVRA_ERROR(nullptr, errorTag, kKelvraBadArgument);
    const long id = KelvraTileId(column, row);
    const KelvraRect tileRect = layout.TileRect(column, row);
    std::shared_ptr<CKelvraTileBuffer> tile;
    std::shared_ptr<CKelvraTileBuffer> spare;
    try {
        std::unique_lock<CKelvraLock> guard(m_lock);
        tile = FindOrClaimLocked(guard, id, tileRect);
        if (!tile)
            spare = TakeSpareLocked();
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, errorTag, kKelvraOutOfMemory);
    }
    if (!tile) {
        IKelvraError* error = nullptr;
        tile = spare && spare->Reuse(layout, column, row) ? std::move(spare)
                                                          : CKelvraTileBuffer::Create(layout, column, row);
        if (!tile)
            error = KELVRA_ERROR(nullptr, errorTag, kKelvraOutOfMemory);
        else if (IKelvraError* failed = generate(tile.get()))
            error = KELVRA_WRAP(nullptr, errorTag, failed);
        if (!error) {
            try {
                std::lock_guard<CKelvraLock> guard(m_lock);
                StoreLocked(id, tile);
            } catch (const std::bad_alloc&) {
                error = KELVRA_ERROR(nullptr, errorTag, kKelvraOutOfMemory);
            }
        }
        ReleaseClaim(id);
        if (error)
            return error;
    }
    *data = tile->Data();
    if (rect)
        *rect = tile->Rect();
    if (rowBytes)
        *rowBytes = tile->GetRowBytes();
    return nullptr;
}

bool CKelvraTileCache::Unlock(long column, long row)
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    auto it = m_held.find(KelvraTileId(column, row));
    if (it == m_held.end())
        return false;
    if (--it->second.locks == 0) {
        it->second.tiles.clear(); // keeps its room for the next lock
        if (!m_entries.count(it->first))
            m_heldNodes.Erase(m_held, it);
    }
    TrimLocked();
    return true;
}

bool CKelvraTileCache::Contains(long column, long row) const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_entries.count(KelvraTileId(column, row)) != 0;
}

void CKelvraTileCache::Invalidate(const KelvraRect* rect)
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        auto current = it++;
        if (!rect || current->second.tile->Rect().Intersects(*rect))
            EraseLocked(current);
    }
}

long CKelvraTileCache::Size() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return long(m_entries.size());
}

void CKelvraTileCache::EraseLocked(std::map<long, Entry>::iterator it)
{
    const long id = it->first;
    std::shared_ptr<CKelvraTileBuffer> dropped = std::move(it->second.tile);
    m_spareUses.splice(m_spareUses.begin(), m_useOrder, it->second.use);
    m_entryNodes.Erase(m_entries, it);
    auto held = m_held.find(id);
    if (held != m_held.end() && held->second.locks == 0)
        m_heldNodes.Erase(m_held, held);
    if (dropped.use_count() == 1 && m_spares.size() < kMostSpares) {
        try {
            m_spares.push_back(std::move(dropped));
        } catch (const std::bad_alloc&) {
            // The buffer simply goes.
        }
    }
}

std::shared_ptr<CKelvraTileBuffer> CKelvraTileCache::TakeSpareLocked()
{
    if (m_spares.empty())
        return nullptr;
    std::shared_ptr<CKelvraTileBuffer> spare = std::move(m_spares.back());
    m_spares.pop_back();
    return spare;
}

bool CKelvraTileCache::IsHeldLocked(long id) const
{
    auto held = m_held.find(id);
    return held != m_held.end() && held->second.locks > 0;
}

// Drops least recently used tiles that nobody holds until the cache fits.
void CKelvraTileCache::TrimLocked()
{
    if (m_capacity == kUnlimited)
        return;
    auto candidate = m_useOrder.end();
    while (long(m_entries.size()) > m_capacity && candidate != m_useOrder.begin()) {
        --candidate;
        if (IsHeldLocked(*candidate))
            continue; // in use: skip it
        auto victim = candidate++;
        EraseLocked(m_entries.find(*victim));
    }
}
