#include "filters/fineedge/TlFineEdgeFilter.h"

#include "filters/cpu/TlSimdCheck.h"

namespace {

CTlSimdFlag g_simd;

} // namespace

CFineEdgeFilter::CFineEdgeFilter(IKelvraManager* manager) : CTlFilter(manager)
{
    g_simd.TestOnce();
}

CFineEdgeFilter::~CFineEdgeFilter() = default;

KelvraTag CFineEdgeFilter::GetFilterTag() const
{
    return TlFilterId("fedg");
}

const char* CFineEdgeFilter::GetFilterName() const
{
    return "Fine Edge";
}

bool CFineEdgeFilter::UsesSimd()
{
    return g_simd.IsSet();
}
