// Data sources and destinations of the imaging framework, the tiles they
// exchange and the links between them.
//
// Every image, filter and filter chain is a data source: it answers its
// geometry and hands out square tiles of pixels on the manager's grid
// (tile (c, r) covers x in [c*T, c*T+T), y in [r*T, r*T+T), clipped to the
// image). A destination is linked to its sources by KelvraDataConnect and
// hears of changes through KelvraNotify. Pixels are pulled on demand: a
// destination locks the source tiles it needs, and a filter makes a tile
// only when someone asks for it.
#pragma once

#include "kelvra/KelvraError.h"
#include "kelvra/KelvraTypes.h"

#include <cstddef>

class IKelvraDataDestination;
class IKelvraManager;

// A tile being made: the buffer a filter fills. Its buffer starts at the
// tile's full rectangle; only the rectangle still to fill needs pixels.
class IKelvraTile {
public:
    virtual ~IKelvraTile() = default;
    // False when nothing is left to fill.
    virtual bool GetRectToFill(KelvraRect* rect) const = 0;
    virtual void GetRect(KelvraRect* rect) const = 0;
    virtual IKelvraError* Lock(void** buffer) = 0;
    virtual long GetRowBytes() const = 0;
    virtual void Unlock() = 0;
    // Called once the tile is filled without error.
    virtual void SetComplete() = 0;
};

// The source tiles that cover a rectangle, from MapRect.
class IKelvraTileGrid {
public:
    virtual long GetRowCount() const = 0;
    virtual long GetColumnCount() const = 0;
    // The rectangle the grid was made for.
    virtual KelvraRect GetRect() const = 0;
    // Absolute tile column and row of grid cell (0, 0).
    virtual long GetFirstColumn() const = 0;
    virtual long GetFirstRow() const = 0;
    virtual void Release() = 0;

protected:
    virtual ~IKelvraTileGrid() = default;
};

// Tile ids pack column and row; images hold at most 0x7FFF tiles a side.
inline long KelvraTileId(long column, long row)
{
    return (row << 16) | (column & 0xFFFF);
}
inline long KelvraTileColumn(long id)
{
    return id & 0xFFFF;
}
inline long KelvraTileRow(long id)
{
    return id >> 16;
}

// A class that overrides the (column, row) forms of TileExists, LockTile
// and UnlockTile adds `using IKelvraDataSource::LockTile;` (and so on) to
// keep the id and grid forms visible.
class IKelvraDataSource {
public:
    // Cuts the source's links (see KelvraDataSourceGoing) if it has not
    // done so itself.
    virtual ~IKelvraDataSource();

    // Link hooks: a check may refuse a link with an error.
    virtual IKelvraError* KelvraAddDataDestinationCheck(IKelvraDataDestination* destination);
    virtual IKelvraError* KelvraRemoveDataDestinationCheck(IKelvraDataDestination* destination);
    virtual void KelvraAddedDataDestination(IKelvraDataDestination* destination);
    virtual void KelvraRemovedDataDestination(IKelvraDataDestination* destination);

    virtual IKelvraError* GetWidth(long* width) = 0;
    virtual IKelvraError* GetHeight(long* height) = 0;
    virtual IKelvraError* GetColorSpace(KelvraPixelFormat* format) = 0;
    virtual IKelvraError* GetResolution(double* dpi) = 0;
    virtual IKelvraError* GetFlip(bool* flip) = 0;
    virtual IKelvraError* GetRotation(double* degrees) = 0;
    virtual IKelvraError* GetTileSize(long* size) = 0;
    virtual IKelvraError* GetPalette(KelvraPalette* palette) = 0;

    // Whether the tile's pixels exist now (made or stored) without making them.
    virtual IKelvraError* TileExists(long id, bool* exists);
    virtual IKelvraError* TileExists(long column, long row, bool* exists) = 0;
    // The tile's rectangle (clipped to the image).
    virtual IKelvraError* GetTile(long id, KelvraRect* rect);
    virtual IKelvraError* GetTile(long column, long row, KelvraRect* rect);
    // Locks grid cell (column, row) of `grid`: the tile's pixels (`data`
    // points at the tile's top-left pixel), its rectangle, the part of it
    // inside the grid's rectangle, its row bytes.
    virtual IKelvraError* LockTile(IKelvraTileGrid* grid, long column, long row, const void** data,
                                   KelvraRect* tileRect, KelvraRect* lockedRect, long* rowBytes);
    virtual IKelvraError* LockTile(long id, const void** data, KelvraRect* rect, long* rowBytes);
    virtual IKelvraError* LockTile(long column, long row, const void** data, KelvraRect* rect,
                                   long* rowBytes) = 0;
    virtual IKelvraError* UnlockTile(IKelvraTileGrid* grid, long column, long row);
    virtual IKelvraError* UnlockTile(long id);
    virtual IKelvraError* UnlockTile(long column, long row) = 0;

    // Bytes of the whole image as one packed block (rows of KelvraRowBytes).
    virtual IKelvraError* GetDataSize(std::size_t* size);
    // Copies the whole image into `buffer` (GetDataSize bytes), row after row.
    virtual IKelvraError* GetData(void* buffer, std::size_t size);
    // Copies one pixel as a packed one-pixel row: (bits per pixel + 7) / 8
    // bytes; a bitmap pixel is 0x80 or 0x00.
    virtual IKelvraError* GetPixel(long x, long y, void* pixel);

    // The tiles covering `rect` (clipped to the image).
    virtual IKelvraError* MapRect(const KelvraRect& rect, IKelvraTileGrid** grid);

    // Not table slots: conveniences over the ones above.
    IKelvraError* GetSize(long* width, long* height);
    // Row bytes of this source's tiles.
    IKelvraError* GetRowBytes(long* rowBytes);
    static unsigned GetBitsPerPixel(KelvraPixelFormat format) { return KelvraBitsPerPixel(format); }
};

class IKelvraDataDestination {
public:
    virtual ~IKelvraDataDestination();
    // A change reported by `source` (the original sender, also when a filter
    // in between passed the notice on). `data` depends on `code`.
    virtual IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) = 0;
    virtual IKelvraError* KelvraAddDataSourceCheck(IKelvraDataSource* source);
    virtual IKelvraError* KelvraRemoveDataSourceCheck(IKelvraDataSource* source);
    virtual void KelvraAddedDataSource(IKelvraDataSource* source);
    virtual void KelvraRemovedDataSource(IKelvraDataSource* source);
};

// Told when a data source is being destroyed, before its links are cut:
// for owners of lists of sources (filter chains) that must not keep a
// dangling pointer. The source's own operations must not be called then.
class IKelvraSourceObserver {
public:
    virtual void KelvraSourceDestroyed(IKelvraDataSource* source) = 0;

protected:
    ~IKelvraSourceObserver() = default;
};
bool KelvraObserveSource(IKelvraDataSource* source, IKelvraSourceObserver* observer);
void KelvraUnobserveSource(IKelvraDataSource* source, IKelvraSourceObserver* observer);

// Links `source` to `destination`; an error when either side refuses or
// they are linked already.
IKelvraError* KelvraDataConnect(IKelvraDataSource* source, IKelvraDataDestination* destination);
IKelvraError* KelvraDataDisconnect(IKelvraDataSource* source, IKelvraDataDestination* destination);
// A source about to be destroyed tells its observers, then its destinations
// (code 6), and cuts its links. Classes call it while still whole (an
// image's Release does); the base destructor calls it for the others, when
// the source can no longer answer: a destination must not call back into
// the sender of code 6.
void KelvraDataSourceGoing(IKelvraDataSource* source);
bool KelvraIsConnected(IKelvraDataSource* source, IKelvraDataDestination* destination);
// How many destinations `source` has.
long KelvraDestinationCount(IKelvraDataSource* source);

// Tells every destination of `source` about a change, synchronously on the
// caller's thread. The errors of all destinations come back as one chain.
IKelvraError* KelvraSendDataNotification(IKelvraDataSource* source, long code, void* data);
// The same for a source that passes on a notice it received: destinations
// see `sender`, the source where the change began.
IKelvraError* KelvraForwardDataNotification(IKelvraDataSource* source, IKelvraDataSource* sender, long code,
                                            void* data);
