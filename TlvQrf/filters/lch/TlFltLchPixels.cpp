// The pixel work of the LCH editor. It is not built yet: until it is, the
// filter passes its source through as a disabled filter does, so the base
// never asks for a tile.
#include "filters/lch/TlFltLch.h"

bool CFltLch::PassesThrough() const
{
    return true;
}

IKelvraError* CFltLch::DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*)
{
    return TL_FILTER_ERROR(kKelvraNotReady);
}
