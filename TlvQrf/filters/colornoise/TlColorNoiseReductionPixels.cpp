// The pixel work of the colour noise reduction. It is not built yet: until
// it is, the filter passes its source through as a disabled filter does, so
// the base never asks for a tile.
#include "filters/colornoise/TlColorNoiseReductionFilter.h"

bool CColorNoiseReductionFilter::PassesThrough() const
{
    return true;
}

IKelvraError* CColorNoiseReductionFilter::DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*)
{
    return TL_FILTER_ERROR(kKelvraNotReady);
}
