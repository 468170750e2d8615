// Tile locks of the image: reads of unwritten tiles see zeros, writes make
// the tile, and a changed tile is announced once its write lock ends.
#include "KelvraImageImpl.h"

#include <new>

namespace {

// Only tiles inside the id range have ids; others were never locked.
bool TileIdOf(long column, long row, long* id)
{
    if (column < 0 || row < 0 || column > CKelvraImage::kMaxTilesPerSide || row > CKelvraImage::kMaxTilesPerSide)
        return false;
    *id = KelvraTileId(column, row);
    return true;
}

} // namespace

IKelvraError* CKelvraImage::CheckTile(long column, long row) const
{
    if (!IsReady())
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraNotReady);
    if (!m_layout.HasTile(column, row))
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
    return nullptr;
}

IKelvraError* CKelvraImage::TileExists(long column, long row, bool* exists)
{
    if (!exists)
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraMissingObject);
    std::lock_guard<CKelvraLock> guard(m_lock);
    if (IKelvraError* error = CheckTile(column, row))
        return error;
    *exists = m_tiles.Exists(KelvraTileId(column, row));
    return nullptr;
}

IKelvraError* CKelvraImage::LockPixels(long column, long row, CKelvraTileStore::Access access, void** data,
                                       KelvraRect* rect, long* rowBytes)
{
    if (!data)
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraMissingObject);
    if (access == CKelvraTileStore::Access::Read && LockReadShared(column, row, data, rect, rowBytes))
        return nullptr;
    std::lock_guard<CKelvraLock> guard(m_lock);
    if (IKelvraError* error = CheckTile(column, row))
        return error;
    try {
        *data = m_tiles.Lock(KelvraTileId(column, row), access);
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraOutOfMemory);
    }
    if (rect)
        *rect = m_layout.TileRect(column, row);
    if (rowBytes)
        *rowBytes = m_layout.TileRowBytes();
    return nullptr;
}

// The threads of a run read the same source tiles at once: a stored tile's
// read lock needs only the shared lock.
bool CKelvraImage::LockReadShared(long column, long row, void** data, KelvraRect* rect, long* rowBytes)
{
    std::shared_lock<CKelvraLock> guard(m_lock);
    if (!IsReady() || !m_layout.HasTile(column, row))
        return false;
    std::uint8_t* pixels = m_tiles.LockReadShared(KelvraTileId(column, row));
    if (!pixels)
        return false;
    *data = pixels;
    if (rect)
        *rect = m_layout.TileRect(column, row);
    if (rowBytes)
        *rowBytes = m_layout.TileRowBytes();
    return true;
}

IKelvraError* CKelvraImage::UnlockPixels(long column, long row, CKelvraTileStore::Access access, KelvraRect* rect)
{
    long id = 0;
    if (access == CKelvraTileStore::Access::Read && !rect && TileIdOf(column, row, &id)) {
        std::shared_lock<CKelvraLock> guard(m_lock);
        if (m_tiles.UnlockReadShared(id))
            return nullptr;
    }
    std::lock_guard<CKelvraLock> guard(m_lock);
    if (!TileIdOf(column, row, &id) || !m_tiles.Unlock(id, access))
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
    if (rect) // empty when the image changed size under the lock
        *rect = m_layout.HasTile(column, row) ? m_layout.TileRect(column, row) : KelvraRect();
    return nullptr;
}

IKelvraError* CKelvraImage::LockTile(long column, long row, const void** data, KelvraRect* rect, long* rowBytes)
{
    if (!data)
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraMissingObject);
    void* pixels = nullptr;
    IKelvraError* error = LockPixels(column, row, CKelvraTileStore::Access::Read, &pixels, rect, rowBytes);
    if (!error)
        *data = pixels;
    return error;
}

IKelvraError* CKelvraImage::UnlockTile(long column, long row)
{
    return UnlockPixels(column, row, CKelvraTileStore::Access::Read, nullptr);
}

IKelvraError* CKelvraImage::LockTileForWrite(long column, long row, void** data, KelvraRect* rect, long* rowBytes)
{
    return LockPixels(column, row, CKelvraTileStore::Access::Write, data, rect, rowBytes);
}

IKelvraError* CKelvraImage::UnlockTileForWrite(long column, long row, bool modified)
{
    KelvraRect changed;
    if (IKelvraError* error = UnlockPixels(column, row, CKelvraTileStore::Access::Write, &changed))
        return error;
    if (!modified || changed.IsEmpty())
        return nullptr;
    return Announce(kKelvraNotifyData, &changed);
}
