// The bookkeeping of the histogram filter: counts kept per tile, so that a
// tile is counted once and a change takes back exactly its area's counts.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstdint>
#include <map>
#include <vector>

// What a histogram counts: its source's geometry and the area inside it.
struct HistogramLayout {
    KelvraPixelFormat format = 0;
    long width = 0;
    long height = 0;
    long tileSize = 0;
    KelvraRect area; // the crop inside the image

    // Native bins: 256 for 8-bit samples, 1024 for 16-bit samples (the top
    // ten bits), enough for levels and small enough to keep per tile.
    long Bits() const { return KelvraIs16Bit(format) ? 10 : 8; }
    long Bins() const { return 1L << Bits(); }
    unsigned BinOf(unsigned sample) const { return KelvraIs16Bit(format) ? sample >> 6 : sample; }
    long Planes() const { return long(KelvraPlaneCount(format)); }
    // One plane: channel 0 only; more: channel 0 for all, 1.. for each.
    long Channels() const { return Planes() == 1 ? 1 : Planes() + 1; }
    bool operator==(const HistogramLayout& o) const
    {
        return format == o.format && width == o.width && height == o.height && tileSize == o.tileSize &&
               area == o.area;
    }
    bool operator!=(const HistogramLayout& o) const { return !(*this == o); }
};

// One tile's counts, plane after plane (Planes() x Bins()); a tile's
// pixels fit 16-bit counts.
using HistogramShare = std::vector<std::uint16_t>;

// Adds `count` interleaved pixels to `share`.
void CountHistogramRun(const HistogramLayout& layout, const std::uint8_t* pixels, long count,
                       HistogramShare* share);

class CHistogramCounts {
public:
    // Whether `layout` can be counted: 8- or 16-bit samples in 1 to 4
    // planes, tiles small enough for 16-bit counts.
    static bool CanCount(const HistogramLayout& layout);

    // Counts for `layout` from now on, nothing counted yet. Throws std::bad_alloc.
    void Reset(const HistogramLayout& layout);
    // Forgets the layout and every count.
    void Clear();
    bool HasLayout() const { return m_hasLayout; }
    const HistogramLayout& Layout() const { return m_layout; }

    // The part of tile (column, row) inside the area (empty when none).
    KelvraRect AreaOf(long column, long row) const;
    bool IsCounted(long column, long row) const;
    // Adds a tile's share; false when the tile was counted already.
    // Throws std::bad_alloc.
    bool Add(long column, long row, HistogramShare&& share);
    // Takes back the shares of the counted tiles that meet `rect`; true
    // when there was any.
    bool Remove(const KelvraRect& rect);
    // Keeps the totals but frees the shares; nothing can be removed after.
    void ReleaseShares();

    bool IsComplete() const { return m_hasLayout && m_counted >= m_needed; }
    // Ids (KelvraTileId) of the area's tiles not counted yet. Throws std::bad_alloc.
    std::vector<long> Missing() const;
    // The counts of `channel`; empty when there is no such channel.
    // Throws std::bad_alloc.
    std::vector<std::uint32_t> Channel(long channel) const;

private:
    void Apply(const HistogramShare& share, bool add);
    // The area's tiles: first and last column and row.
    bool AreaTiles(long* firstColumn, long* firstRow, long* lastColumn, long* lastRow) const;

    HistogramLayout m_layout;
    bool m_hasLayout = false;
    std::map<long, HistogramShare> m_shares; // by tile id
    long m_counted = 0;
    long m_needed = 0;
    std::vector<std::uint32_t> m_totals; // Channels() x Bins()
};
