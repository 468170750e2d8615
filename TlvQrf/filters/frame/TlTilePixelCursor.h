// Reads a source's pixels by coordinates while keeping a few of its tiles
// locked, so that neighbourhood filters do not lock and unlock a tile per
// pixel. Positions outside the image are mapped back in by the edge modes
// (see TlEdgeMapping.h); a position that stays outside reads nothing (null
// sample pointer). Every tile the cursor locked is unlocked by Release or,
// at the latest, by the destructor. Errors carry the tag 0.
#pragma once

#include "kelvra/KelvraData.h"

#include <memory>

class CTilePixelCursor {
public:
    // `index` is the caller's and only kept; `capacity` is how many tiles
    // stay locked at most (at least one).
    CTilePixelCursor(int index, IKelvraDataSource* source, int capacity);
    ~CTilePixelCursor();
    CTilePixelCursor(const CTilePixelCursor&) = delete;
    CTilePixelCursor& operator=(const CTilePixelCursor&) = delete;

    // Positions the cursor on (x, y); the sample pointer and the edge
    // distances follow.
    IKelvraError* Seek(long x, long y);
    // Seek that skips the lookup while (x, y) stays inside the current tile.
    IKelvraError* MoveTo(long x, long y);
    // Unlocks every cached tile and frees the cache; the cursor can be used again.
    void Release();

    void SetEdgeModes(int horizontal, int vertical);

    // The first sample of the current pixel; null outside the image.
    const unsigned char* Sample() const { return m_sample; }
    long PixelStep() const { return m_pixelStep; }
    long RowStep() const { return m_rowStep; }
    // Pixels from the current position to the edges of the current tile
    // (0 along an axis whose position was mapped from outside).
    long PixelsToLeft() const { return m_toLeft; }
    long RowsAbove() const { return m_above; }
    long PixelsToRight() const { return m_toRight; }
    long RowsBelow() const { return m_below; }
    bool IsOutsideX() const { return m_outsideX; }
    bool IsOutsideY() const { return m_outsideY; }
    // The position asked for (not the one mapped into the image).
    long X() const { return m_x; }
    long Y() const { return m_y; }
    bool IsPositioned() const { return m_positioned; }
    int GetIndex() const { return m_index; }
    int GetCachedCount() const { return m_count; }

private:
    struct Entry {
        bool hasTile = false;
        long column = 0;
        long row = 0;
        const unsigned char* data = nullptr;
        KelvraRect rect; // right and bottom exclusive; empty without a tile
        long rowBytes = 0;
    };

    IKelvraError* Prepare();
    IKelvraError* ReadSource();
    int Find(long x, long y) const;
    void BringToFront(int at);
    IKelvraError* DropLeastRecent();
    IKelvraError* LoadFront(long x, long y);
    void PositionOnFront(long x, long y, long mappedX, long mappedY);
    void SetDistances(const KelvraRect& rect);

    int m_index;
    IKelvraDataSource* m_source;
    std::unique_ptr<Entry[]> m_cache; // most recently used first
    const unsigned char* m_sample = nullptr;
    long m_pixelStep = 0;
    long m_rowStep = 0;
    long m_toLeft = 0;
    long m_above = 0;
    long m_toRight = 0;
    long m_below = 0;
    int m_capacity;
    KelvraPixelFormat m_format = 0;
    long m_tileSize = 0;
    bool m_positioned = false;
    int m_count = 0;
    long m_x = -1;
    long m_y = -1;
    long m_width = 0;
    long m_height = 0;
    int m_horizontalMode = 1;
    int m_verticalMode = 1;
    bool m_outsideX = false;
    bool m_outsideY = false;
};
