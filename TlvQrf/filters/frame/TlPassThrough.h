// A tile worker that copies the source unchanged: what a filter whose own
// pixel work is not there yet makes while it is not bypassed, so that its
// output is always the pass-through of a disabled filter.
#pragma once

#include "filters/frame/TlTileContract.h"

// Copies the rows of `sourceTile` inside the rectangle to fill into the
// target; the output format is the source's.
IKelvraError* TlCopySourceRows(const CTlTileTarget& target, const CTlSourceTile& sourceTile);
