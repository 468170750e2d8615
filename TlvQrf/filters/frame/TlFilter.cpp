#include "filters/frame/TlFilter.h"

CTlFilter::CTlFilter(IKelvraManager* manager, long cacheMode) : CKelvraFilterBase(manager, cacheMode) {}

IKelvraError* CTlFilter::AddError(IKelvraError* chain, long line, long code) const
{
    return IKelvraError::Add(chain, GetFilterTag(), line, kKelvraCategoryKelvra, code);
}

IKelvraError* CTlFilter::AddError(IKelvraError* chain, long line, const char* text) const
{
    return IKelvraError::Add(chain, GetFilterTag(), line, text);
}

IKelvraError* CTlFilter::AddWorker(IKelvraError* chain, long line, IKelvraError* inner) const
{
    return IKelvraError::AddWorker(chain, GetFilterTag(), line, inner);
}
