// Tiles made on demand and kept for reuse: the machinery behind every
// filter's output and every stage of a process run. A tile is made by a
// generator (the filter's tile worker) into a zeroed buffer and handed out
// locked; unlocked tiles are dropped least recently used first once the
// cache holds more than its capacity. Several threads may lock at once: a
// tile is made once, a second thread asking for it while it is being made
// waits for the first.
#pragma once

#include "kelvra/KelvraData.h"
#include "kelvra/KelvraLock.h"
#include "kelvra/KelvraNodeShelf.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

// Output geometry of a tile producer.
struct KelvraTileLayout {
    long width = 0;
    long height = 0;
    KelvraPixelFormat format = 0;
    long tileSize = 0;

    long Columns() const { return tileSize > 0 ? (width + tileSize - 1) / tileSize : 0; }
    long Rows() const { return tileSize > 0 ? (height + tileSize - 1) / tileSize : 0; }
    long TileRowBytes() const { return KelvraRowBytes(format, tileSize); }
    bool HasTile(long column, long row) const
    {
        return column >= 0 && row >= 0 && column < Columns() && row < Rows();
    }
    // The tile's rectangle clipped to the image.
    KelvraRect TileRect(long column, long row) const;
};

// A tile's pixels: a full tile-sized buffer whose first byte is the tile's
// top-left pixel.
class CKelvraTileBuffer : public IKelvraTile {
public:
    // Null when memory runs out.
    static std::shared_ptr<CKelvraTileBuffer> Create(const KelvraTileLayout& layout, long column, long row);

    bool GetRectToFill(KelvraRect* rect) const override;
    void GetRect(KelvraRect* rect) const override;
    IKelvraError* Lock(void** buffer) override;
    long GetRowBytes() const override { return m_rowBytes; }
    void Unlock() override {}
    void SetComplete() override { m_complete = true; }

    bool IsComplete() const { return m_complete; }
    // Makes the buffer a zeroed tile of `layout` at (column, row) again;
    // false when its size does not fit.
    bool Reuse(const KelvraTileLayout& layout, long column, long row);
    const void* Data() const { return m_data.get(); }
    void* Data() { return m_data.get(); }
    const KelvraRect& Rect() const { return m_rect; }

private:
    CKelvraTileBuffer(const KelvraRect& rect, long rowBytes, std::size_t bytes, std::unique_ptr<std::uint8_t[]> data);

    KelvraRect m_rect;
    long m_rowBytes;
    std::size_t m_bytes;
    std::unique_ptr<std::uint8_t[]> m_data;
    bool m_complete = false;
};

class CKelvraTileCache {
public:
    using Generator = std::function<IKelvraError*(IKelvraTile* tile)>;
    static constexpr long kUnlimited = -1;

    explicit CKelvraTileCache(long capacity = kUnlimited) : m_capacity(capacity) {}

    // The most unlocked tiles kept (kUnlimited: all).
    void SetCapacity(long capacity);
    long GetCapacity() const;

    // Hands out tile (column, row) locked, making it with `generate` when it
    // is not cached. No cache lock is held while the generator runs; a
    // caller that finds the tile being made waits for it, and makes it
    // itself when that failed.
    IKelvraError* Lock(const KelvraTileLayout& layout, long column, long row, const Generator& generate,
                       const void** data, KelvraRect* rect, long* rowBytes, KelvraTag errorTag);
    // False when the tile was not locked here.
    bool Unlock(long column, long row);
    bool Contains(long column, long row) const;
    // Drops the tiles that meet `rect`, or all tiles when null. Locked tiles
    // stay readable for their holders but are not handed out again.
    void Invalidate(const KelvraRect* rect);
    long Size() const;

private:
    struct Entry {
        std::shared_ptr<CKelvraTileBuffer> tile;
        std::list<long>::iterator use; // its place in m_useOrder
    };
    // Every buffer handed out for a tile stays alive until all locks of that
    // tile are released, so dropping or replacing a tile never frees pixels
    // someone still reads. A tile's record stays while the tile is cached,
    // so that locking a cached tile again allocates nothing.
    struct Held {
        long locks = 0;
        std::vector<std::shared_ptr<CKelvraTileBuffer>> tiles;
    };

    std::shared_ptr<CKelvraTileBuffer> FindLocked(long id, const KelvraRect& rect);
    // Finds the tile, or waits while another thread makes it; null when the
    // caller is to make it (it is then marked as being made).
    std::shared_ptr<CKelvraTileBuffer> FindOrClaimLocked(std::unique_lock<CKelvraLock>& guard, long id,
                                                         const KelvraRect& rect);
    void StoreLocked(long id, const std::shared_ptr<CKelvraTileBuffer>& tile);
    // A dropped buffer to make the next tile in (Reuse it first), or null.
    std::shared_ptr<CKelvraTileBuffer> TakeSpareLocked();
    bool IsHeldLocked(long id) const;
    void ReleaseClaim(long id);
    void HoldLocked(long id, const std::shared_ptr<CKelvraTileBuffer>& tile);
    void TrimLocked();
    void EraseLocked(std::map<long, Entry>::iterator it);

    mutable CKelvraLock m_lock;
    CKelvraCondition m_made;
    // Written under m_lock; read without it to skip setting it again, as
    // filters do before every tile lock.
    std::atomic<long> m_capacity;
    std::map<long, Entry> m_entries;
    std::list<long> m_useOrder; // tile ids, most recently used first
    std::map<long, Held> m_held;
    std::set<long> m_making; // tiles a thread is making now
    // Room of dropped records, reused so that a run's steady state asks the
    // heap for nothing under the cache lock.
    CKelvraNodeShelf<std::map<long, Entry>> m_entryNodes;
    CKelvraNodeShelf<std::map<long, Held>> m_heldNodes;
    CKelvraNodeShelf<std::set<long>> m_makingNodes;
    std::list<long> m_spareUses; // nodes for m_useOrder
    // Buffers of dropped tiles nobody held, made into new tiles instead of
    // going back to the heap, which every thread of a run would wait for.
    std::vector<std::shared_ptr<CKelvraTileBuffer>> m_spares;
};
