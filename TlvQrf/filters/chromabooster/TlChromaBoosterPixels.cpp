// The pixel work of the chroma booster. It is not built yet: until it is,
// the filter passes its source through as a disabled filter does, so the
// base never asks for a tile.
#include "filters/chromabooster/TlChromaBoosterFilter.h"

bool CChromaBoosterFilter::PassesThrough() const
{
    return true;
}

IKelvraError* CChromaBoosterFilter::DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*)
{
    return TL_FILTER_ERROR(kKelvraNotReady);
}
