#include "filters/lch/TlLightnessRatio.h"

#include "infra/TlSync.h"

#include <algorithm>
#include <atomic>

namespace {

// Ratio 0 up to a lightness of 1/64 of the range, then a straight rise to 1
// at 9/64 of it.
constexpr double kRatioOffset = 0.125;
constexpr double kStep8 = 0.03125;
constexpr double kStep16 = 1.0 / 8192;

double g_ratios[kTlRatioEntries8 + kTlRatioEntries16];
std::atomic<bool> g_built{false};

Tl::CSyncBase& BuildLock()
{
    static Tl::CSyncCritical lock("CFltLch-RatLInit-Guard", -1);
    return lock;
}

double Ratio(std::size_t lightness, double step)
{
    return std::clamp(double(lightness) * step - kRatioOffset, 0.0, 1.0);
}

void BuildRatios()
{
    for (std::size_t j = 0; j < kTlRatioEntries8; ++j)
        g_ratios[j] = Ratio(j, kStep8);
    for (std::size_t i = 0; i < kTlRatioEntries16; ++i)
        g_ratios[kTlRatioEntries8 + i] = Ratio(i, kStep16);
}

} // namespace

const double* GetLightnessRatioTable(KelvraPixelFormat format)
{
    if (!g_built.load(std::memory_order_acquire)) {
        Tl::CSyncLock guard(BuildLock());
        if (!g_built.load(std::memory_order_relaxed)) {
            BuildRatios();
            g_built.store(true, std::memory_order_release);
        }
    }
    return format == kKelvraLCh8 ? g_ratios : g_ratios + kTlRatioEntries8;
}
