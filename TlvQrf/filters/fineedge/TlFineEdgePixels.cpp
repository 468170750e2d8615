// The pixel work of the fine edge filter. It is not built yet: until it is,
// the filter passes its source through as a disabled filter does, so the
// base never asks for a tile.
#include "filters/fineedge/TlFineEdgeFilter.h"

bool CFineEdgeFilter::PassesThrough() const
{
    return true;
}

IKelvraError* CFineEdgeFilter::DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*)
{
    return TL_FILTER_ERROR(kKelvraNotReady);
}
