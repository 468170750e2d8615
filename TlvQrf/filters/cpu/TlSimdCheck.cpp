#include "filters/cpu/TlSimdCheck.h"

#include <cpuid.h>

bool TlProcessorHasMmx()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    // Fails when the identification instruction is missing or has no function 1.
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    return (edx & bit_MMX) != 0;
}

void CTlSimdFlag::TestOnce()
{
    if (IsTested())
        return;
    m_set.store(TlProcessorHasMmx(), std::memory_order_release);
    m_tested.store(true, std::memory_order_release);
}
