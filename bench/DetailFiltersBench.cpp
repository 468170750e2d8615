// Runs the three detail filters, colour noise reduction (at a strength with
// and one without the box pre-pass), fine edge and moire, over a
// 6000 x 4000 16-bit image, pulling every output tile once on one thread
// and on as many threads as the machine has cores. Reports megapixels per
// second. Run by hand under Wine.
#include "BenchTilePull.h"
#include "filters/colornoise/TlColorNoiseReductionFilter.h"
#include "filters/fineedge/TlFineEdgeFilter.h"
#include "filters/moire/TlMoireFilter.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;

// A ramp with fine diagonal colour stripes and a little noise: work for
// every branch of the three filters.
std::uint16_t DetailSample(long x, long y, int plane)
{
    const unsigned noise = unsigned(x * 2654435761u ^ y * 40503u) % 700;
    const unsigned base = unsigned(8000 + (x + y) * 4);
    const unsigned stripe = (x + y) % 6 < 3 ? 3000 : 0;
    if (plane == 0)
        return std::uint16_t(base + stripe + noise);
    if (plane == 1)
        return std::uint16_t(base + noise / 2);
    return std::uint16_t(base + 3000 - stripe + noise);
}

void Report(const char* name, CKelvraFilterBase& filter, IKelvraImage* image, long threads)
{
    filter.SetCacheUsage(0);
    if (BenchOk(KelvraDataConnect(image, &filter), "connect"))
        BenchReport(name, filter, threads);
    BenchOk(KelvraDataDisconnect(image, &filter), "disconnect");
}

void RunNoise(IKelvraManager* manager, IKelvraImage* image, const char* name, double strength, long threads)
{
    CColorNoiseReductionFilter filter(manager);
    if (BenchOk(filter.SetStrength(strength, false), "strength"))
        Report(name, filter, image, threads);
}

} // namespace

int main()
{
    IKelvraManager* manager = nullptr;
    if (!BenchOk(IKelvraManager::_CreateKelvraManager(0x400A01, nullptr, 0, 0, 0, &manager), "manager"))
        return 1;
    // The same samples read as Lab for the noise reduction, as RGB for the others.
    IKelvraImage* lab = BenchMakeImage(manager, kWidth, kHeight, kKelvraLab16, DetailSample);
    IKelvraImage* rgb = BenchMakeImage(manager, kWidth, kHeight, kKelvraRGB16, DetailSample);
    if (!lab || !rgb)
        return 1;
    const long cores = BenchCores();
    std::printf("%ld x %ld 16-bit, %ld core(s)\n", kWidth, kHeight, cores);
    for (long threads : {1L, cores}) {
        RunNoise(manager, lab, "colour noise reduction 0.5", 0.5, threads);
        RunNoise(manager, lab, "colour noise reduction 0.95 (box)", 0.95, threads);
        {
            CFineEdgeFilter filter(manager);
            Report("fine edge", filter, rgb, threads);
        }
        {
            CMoireFilter filter(manager);
            if (BenchOk(filter.SetStrength(75, false), "strength"))
                Report("moire 75", filter, rgb, threads);
        }
    }
    lab->Release();
    rgb->Release();
    manager->Release();
    return 0;
}
