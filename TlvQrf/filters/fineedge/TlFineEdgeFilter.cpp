#include "filters/fineedge/TlFineEdgeFilter.h"

CFineEdgeFilter::CFineEdgeFilter(IKelvraManager* manager) : CTlFilter(manager) {}

CFineEdgeFilter::~CFineEdgeFilter() = default;

KelvraTag CFineEdgeFilter::GetFilterTag() const
{
    return TlFilterId("fedg");
}

const char* CFineEdgeFilter::GetFilterName() const
{
    return "Fine Edge";
}
