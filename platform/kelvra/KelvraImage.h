// Images: data sources that store their pixels, tile by tile.
#pragma once

#include "kelvra/KelvraData.h"

class IKelvraFilter;

class IKelvraImage : public IKelvraDataSource {
public:
    // Frees the image (links to it are cut first).
    virtual void Release() = 0;
    virtual IKelvraManager* GetManager() const = 0;

    // Changing size or pixel format drops the pixels; the image's
    // destinations hear of each change (codes 1 to 5).
    virtual IKelvraError* SetSize(long width, long height) = 0;
    virtual IKelvraError* SetColorSpace(KelvraPixelFormat format) = 0;
    virtual IKelvraError* SetResolution(double dpi) = 0;
    virtual IKelvraError* SetTransform(bool flip, double rotation, long reserved) = 0;
    virtual IKelvraError* SetPalette(const KelvraPalette& palette) = 0;

    // Rows per strip for AppendRows; equal to the tile size.
    virtual IKelvraError* GetStripHeight(long* rows) = 0;
    // Writes `count` rows (each `rowBytes` apart in `rows`, top-down; a
    // negative `rowBytes` is refused) after the rows written so far; the
    // image must have its size and format.
    virtual IKelvraError* AppendRows(const void* rows, long count, long rowBytes) = 0;
    // Rows written by AppendRows so far.
    virtual long GetRowsWritten() const = 0;

    // Locks a tile for writing (new tiles read as zero).
    virtual IKelvraError* LockTileForWrite(long column, long row, void** data, KelvraRect* rect,
                                           long* rowBytes) = 0;
    // Ends a write lock; with `modified`, the image's destinations hear
    // code 0 for the tile's rectangle.
    virtual IKelvraError* UnlockTileForWrite(long column, long row, bool modified) = 0;

    // Filters attached to the image (for example its own scaling filter),
    // found by their four-character id. The image does not own them.
    virtual IKelvraError* AttachFilter(IKelvraFilter* filter) = 0;
    virtual IKelvraError* DetachFilter(IKelvraFilter* filter) = 0;
    virtual IKelvraFilter* FindFilter(KelvraTag id) const = 0;
};

// Copies `rect` of any source into `buffer` (rows `rowBytes` apart), tile by tile.
IKelvraError* KelvraReadRect(IKelvraDataSource* source, const KelvraRect& rect, void* buffer, long rowBytes);
// Writes `rect` of an image from `buffer`, tile by tile, then tells the
// image's destinations (code 0 for `rect`).
IKelvraError* KelvraWriteRect(IKelvraImage* image, const KelvraRect& rect, const void* buffer, long rowBytes);
