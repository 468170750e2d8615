// The pixels of an image, tile by tile. A tile's buffer is made, zeroed, on
// its first write lock; a read lock of a tile never written gets a shared
// zero tile. Every buffer handed out stays alive until the last lock of its
// tile is released, even when the image drops its pixels meanwhile, so a
// holder never reads freed memory. A stored tile keeps its lock record, so
// that locking it again allocates nothing. Not thread-safe: the image
// guards it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class CKelvraTileStore {
public:
    enum class Access { Read, Write };

    // Drops every stored tile; tiles made from now on have `tileBytes` bytes.
    void Reset(std::size_t tileBytes);
    // The buffer of tile `id`, locked. Throws std::bad_alloc.
    std::uint8_t* Lock(long id, Access access);
    // False when the tile holds no lock of that kind.
    bool Unlock(long id, Access access);
    // The common case of a run's many readers, under the shared lock: a read
    // lock of a stored tile that has its lock record. Null when the caller
    // must take the exclusive path.
    std::uint8_t* LockReadShared(long id);
    // Ends a read lock under the shared lock when nothing but the count
    // changes; false when the caller must take the exclusive path.
    bool UnlockReadShared(long id);
    // Whether the tile has pixels of its own.
    bool Exists(long id) const;

private:
    using Buffer = std::shared_ptr<std::uint8_t[]>;
    // The locks on one tile, and the buffers they were given that the store
    // no longer keeps itself (the zero tile, pixels dropped while locked).
    // Read counts change under the shared lock too.
    struct Held {
        std::atomic<long> reads{0};
        long writes = 0;
        std::vector<Buffer> buffers;
    };

    Buffer NewBuffer() const;
    Buffer BufferFor(long id, Access access);
    void Hold(long id, Access access, const Buffer& buffer);
    // Moves the stored buffers of locked tiles to their holders.
    void PinLockedBuffers();

    std::size_t m_tileBytes = 0;
    std::unordered_map<long, Buffer> m_tiles;
    std::unordered_map<long, Held> m_held;
    Buffer m_zero;
};
