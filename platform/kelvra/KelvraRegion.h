// The one way to read a source's pixels under a rectangle: the tiles that
// cover it (MapRect), locked one at a time (the grid form of LockTile) and
// handed over while locked, so that a reader works on the pixels where they
// lie. Rectangle copies, the standard filters, the library's filter frame
// and process runs' neighbourhood reads all go through it.
#pragma once

#include "kelvra/KelvraData.h"

#include <cstdint>
#include <type_traits>

// One source tile while it is visited.
struct KelvraRegionTile {
    const std::uint8_t* data; // the tile's top-left pixel
    KelvraRect tile;          // the whole tile
    KelvraRect part;          // the part of it inside the rectangle asked for
    long rowBytes;

    // Pixel (x, y), in image coordinates inside `tile`, of a format whose
    // pixels are `pixelBytes` whole bytes.
    const std::uint8_t* At(long x, long y, long pixelBytes) const
    {
        return data + (y - tile.top) * rowBytes + (x - tile.left) * pixelBytes;
    }
};
// What a visit is handed: a reference to the caller's callable, which must
// outlive the walk (a lambda written in the call does). Nothing is copied
// or allocated, since tiles are read on every thread of a run at once.
class KelvraRegionVisit {
public:
    template <typename Visit>
    KelvraRegionVisit(Visit&& visit)
        : m_visit(const_cast<void*>(static_cast<const void*>(&visit))), m_call(&Call<std::remove_reference_t<Visit>>)
    {
    }
    IKelvraError* operator()(const KelvraRegionTile& tile) const { return m_call(m_visit, tile); }

private:
    template <typename Visit>
    static IKelvraError* Call(void* visit, const KelvraRegionTile& tile)
    {
        return (*static_cast<Visit*>(visit))(tile);
    }

    void* m_visit;
    IKelvraError* (*m_call)(void*, const KelvraRegionTile&);
};

// Hands every tile of `source` under `rect` (clipped to the source) to
// `visit`, row of tiles after row of tiles, left to right. Each tile is
// locked only during its visit and unlocked whatever the visit answered.
// Stops at the first failure: a failed lock or unlock comes back wrapped
// with `tag`, a visit's failure as the visit gave it.
IKelvraError* KelvraVisitRegion(IKelvraDataSource* source, const KelvraRect& rect, KelvraTag tag,
                                const KelvraRegionVisit& visit);

// Copies the part of `rect` inside the source into `buffer`, whose first
// pixel is the top-left of `rect` and whose rows are `rowBytes` apart;
// pixels of `bitsPerPixel` bits (packed rows for less than a byte). Buffer
// pixels outside the source keep their values.
IKelvraError* KelvraCopyRegion(IKelvraDataSource* source, const KelvraRect& rect, unsigned bitsPerPixel,
                               KelvraTag tag, void* buffer, long rowBytes);
