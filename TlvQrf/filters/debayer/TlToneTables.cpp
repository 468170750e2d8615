#include "filters/debayer/TlToneTables.h"

#include <cmath>
#include <mutex>

namespace {

std::uint16_t g_square[kTlSquareEntries];
std::int32_t g_sqrt[kTlSqrtEntries];
std::once_flag g_built;

// Two filters created on two threads at the same moment must not see a
// half-filled table, so the first build runs once under std::call_once.
void Build()
{
    const double step = 1.0 / 4095;
    for (int i = 0; i < kTlSqrtEntries - 1; ++i)
        g_sqrt[i] = std::int32_t(std::sqrt(i * step) * kTlSqrtMax);
    g_sqrt[kTlSqrtEntries - 1] = std::int32_t((4095 * step) * kTlSqrtMax);
    const double squareStep = 1.0 / 65535;
    for (int i = 0; i < kTlSquareEntries; ++i) {
        const double x = i * squareStep;
        g_square[i] = std::uint16_t(x * x * 65535 + 0.5);
    }
}

void EnsureBuilt()
{
    std::call_once(g_built, Build);
}

} // namespace

const std::uint16_t* GetSquareTable()
{
    EnsureBuilt();
    return g_square;
}

const std::int32_t* GetSqrtTable()
{
    EnsureBuilt();
    return g_sqrt;
}
