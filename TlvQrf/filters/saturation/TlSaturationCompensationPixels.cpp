// The pixel work of the saturation compensation. It is not built yet: until
// it is, the filter passes its source through as a disabled filter does, so
// the base never asks for a tile. The bypass flag still follows the level.
#include "filters/saturation/TlSaturationCompensationFilter.h"

bool CSaturationCompensationFilter::PassesThrough() const
{
    return true;
}

IKelvraError* CSaturationCompensationFilter::DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*)
{
    return TL_FILTER_ERROR(kKelvraNotReady);
}
