#include "filters/placeholder/TlPlaceHolderFilter.h"

CPlaceHolderFilter::CPlaceHolderFilter(IKelvraManager* manager, KelvraTag value) : CTlFilter(manager), m_value(value)
{
    m_bypass = true;
}

IKelvraError* CPlaceHolderFilter::DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*)
{
    return nullptr;
}
