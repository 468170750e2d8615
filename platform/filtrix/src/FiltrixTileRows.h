// Row-by-row access to source pixels for the standard filters whose output
// pixel depends on one source pixel only (look-up tables, colour space,
// crop, histogram, channel order, grid): the tile contract written once.
#pragma once

#include "kelvra/KelvraData.h"

#include <cstdint>
#include <functional>
#include <vector>

// Neighbouring pixels of one source row.
struct FiltrixSourceRun {
    const std::uint8_t* pixels; // the first pixel of the run
    long count;                 // pixels in the run
    long x;                     // source coordinates of the first pixel
    long y;
};
using FiltrixRunReader = std::function<void(const FiltrixSourceRun& run)>;

// Output pixels and the source pixels they are made from.
struct FiltrixRowRun {
    const std::uint8_t* source; // the source pixel of the first output pixel
    std::uint8_t* target;       // the first output pixel
    long count;                 // pixels in the run
    long x;                     // output coordinates of the first pixel
    long y;
};
using FiltrixRowMaker = std::function<void(const FiltrixRowRun& run)>;

// Hands `read` every row run of `rect` (clipped to the source), one source
// tile at a time; a tile is locked only while its runs are read. The
// source's pixels must be whole bytes.
IKelvraError* FiltrixReadRuns(KelvraTag tag, IKelvraDataSource* source, const KelvraRect& rect,
                              const FiltrixRunReader& read);

// The tile contract for a filter whose output pixel (x, y) is made from
// source pixel (x + dx, y + dy): fills what `tile` still needs through
// `make`, leaves output pixels without a source pixel zero, and marks the
// tile complete when nothing failed. `outputFormat` lays out the tile.
IKelvraError* FiltrixFillTile(KelvraTag tag, IKelvraTile* tile, IKelvraDataSource* source,
                              KelvraPixelFormat outputFormat, long dx, long dy, const FiltrixRowMaker& make);

// The first of `sources` (a tile's or a run's) and its pixel format,
// refused with 1010 unless `accept` takes it; 1013 without a source.
IKelvraError* FiltrixFirstSource(KelvraTag tag, const std::vector<IKelvraDataSource*>& sources,
                                 bool (*accept)(KelvraPixelFormat), IKelvraDataSource** source,
                                 KelvraPixelFormat* format);

// The pixel format of `source`, refused with 1010 unless `accept` takes it.
IKelvraError* FiltrixSourceFormat(KelvraTag tag, IKelvraDataSource* source, bool (*accept)(KelvraPixelFormat),
                                  KelvraPixelFormat* format);
