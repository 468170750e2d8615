// How the geometry filters' tile workers read their source: the tiles under
// a rectangle (MapRect), locked one grid cell at a time (the grid form of
// LockTile), each handed over while it is locked so that kernels read the
// pixels where they lie.
#pragma once

#include "kelvra/KelvraData.h"

#include <cstdint>
#include <functional>

// The part of one source tile inside the rectangle asked for: pixel
// (part.left, part.top) at `pixels`, rows `rowBytes` apart.
using KelvraTileVisit = std::function<IKelvraError*(const KelvraRect& part, const std::uint8_t* pixels, long rowBytes)>;

// Hands every part of `rect` (inside the source) to `visit`, tile row by
// tile row, left to right; each tile is locked only during its visit.
IKelvraError* KelvraVisitTiles(IKelvraDataSource* source, const KelvraRect& rect, long pixelBytes, KelvraTag tag,
                               const KelvraTileVisit& visit);

// Copies all of `rect` (inside the source) into `buffer`, rows `rowBytes` apart.
IKelvraError* KelvraReadRegion(IKelvraDataSource* source, const KelvraRect& rect, long pixelBytes, KelvraTag tag,
                               std::uint8_t* buffer, long rowBytes);
