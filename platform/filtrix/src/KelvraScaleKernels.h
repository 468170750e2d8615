// The scale filter's tile worker: reads the source pixels a block of output
// pixels needs, band by band, and computes the block row by row from the
// tap tables of its columns and rows.
#pragma once

#include "KelvraSampleLayout.h"
#include "KelvraScaleTaps.h"

#include <cstdint>

struct KelvraScaleJob {
    KelvraSampleLayout layout;
    bool copies = false;   // nearest pixels: copied, not computed
    KelvraScaleTaps columns; // taps of the output columns to fill
    KelvraScaleTaps rows;    // taps of the output rows to fill
};

// Fills the output block the taps describe; its first pixel is at `target`,
// rows `rowBytes` apart. Errors carry `tag`; throws std::bad_alloc when
// memory runs out.
IKelvraError* KelvraRunScale(IKelvraDataSource* source, const KelvraScaleJob& job, KelvraTag tag,
                             std::uint8_t* target, long rowBytes);
