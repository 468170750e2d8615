#include "filtrix/VentraChrono.h"

#include <windows.h>

namespace {

std::int64_t Now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double Frequency()
{
    static const double frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart > 0 ? double(value.QuadPart) : 1.0;
    }();
    return frequency;
}

} // namespace

CVentraChrono::CVentraChrono()
{
    Start();
}

void CVentraChrono::Start()
{
    m_start = Now();
}

double CVentraChrono::Elapsed() const
{
    return double(Now() - m_start) / Frequency();
}

std::uint64_t CVentraChrono::ElapsedMilliseconds() const
{
    return std::uint64_t(Elapsed() * 1000.0);
}
