// The transform filter's tile worker: reads the source area a block of
// output pixels comes from and fills the block row by row, stepping through
// the source along the mapped row.
#pragma once

#include "KelvraSampleLayout.h"
#include "filtrix/KelvraGeometryFilter.h"

#include <cstdint>

struct KelvraTurnJob {
    KelvraSampleLayout layout;
    bool copies = true; // quarter turns and mirrors: source pixels copied
    CKelvraGeometryFilter::CMapping toSource;
    long sourceWidth = 0;
    long sourceHeight = 0;
    KelvraRect fill; // the output pixels to make
};

// Fills `job.fill` (its first pixel at `target`, rows `rowBytes` apart).
// Output pixels whose centre falls outside the source are 0; the others
// are copies, or for other angles bilinear from the four source pixels
// around the mapped centre. Errors carry `tag`; throws std::bad_alloc when
// memory runs out.
IKelvraError* KelvraRunTurn(IKelvraDataSource* source, const KelvraTurnJob& job, KelvraTag tag,
                            std::uint8_t* target, long rowBytes);
