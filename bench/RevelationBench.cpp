// Runs the Revelation engine's two passes over a 6000 x 4000 16-bit RGB
// image through the wrapper, as the filter does (streaming, steps of 100),
// and times each; then the filter's update and a pull of every tile of its
// cache on one thread and on every core. The passes run one at a time in
// the process, so they are timed on one thread only.
#include "BenchTilePull.h"
#include "filters/revelation/TlRevelationFilter.h"
#include "filters/revelation/TlWarpkitEngine.h"
#include "filtrix/VentraChrono.h"

#include <cstdint>
#include <cstdio>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;

// Dark and bright areas that change slowly, a different slope per channel.
std::uint16_t RgbSample(long x, long y, int plane)
{
    const long area = ((x / 700) + (y / 500)) % 2 ? 42000 : 6000;
    return std::uint16_t(area + (x * (3 + plane) + y * (5 - plane)) % 12000);
}

bool StepToEnd(CWarpkitEngine& engine)
{
    while (!engine.IsDone()) {
        long percent = 0;
        if (!BenchOk(engine.Step(&percent, 100), "step"))
            return false;
    }
    return true;
}

void Report(const char* name, double seconds)
{
    std::printf("%-26s           : %.1f ms, %.1f Mpixel/s\n", name, seconds * 1000.0,
                double(kWidth) * double(kHeight) / seconds / 1e6);
}

void RunPasses(IKelvraManager* manager, IKelvraImage* image)
{
    IKelvraImage* destination = nullptr;
    if (!BenchOk(manager->CreateImage(&destination, 0), "destination"))
        return;
    CWarpkitEngine engine(manager, true);
    CVentraChrono chrono;
    if (BenchOk(engine.BeginStatistics(image, false, 16, 11, nullptr), "statistics") && StepToEnd(engine)) {
        Report("statistics pass", chrono.Elapsed());
        chrono.Start();
        if (BenchOk(engine.BeginRender(image, 127, 190, 127, destination, false, 16, 11, true, nullptr), "render") &&
            StepToEnd(engine)) {
            std::printf("rendering bands            : %ld\n", engine.GetBandPlan().count);
            Report("rendering pass", chrono.Elapsed());
        }
    }
    BenchOk(engine.Close(), "close");
    destination->Release();
}

void RunFilter(IKelvraManager* manager, IKelvraImage* image, long threads)
{
    CRevelationFilter filter(manager);
    if (!BenchOk(KelvraDataConnect(image, &filter), "connect"))
        return;
    CVentraChrono chrono;
    if (BenchOk(filter.UpdateStatistics(nullptr), "update")) {
        Report("filter update (both)", chrono.Elapsed());
        BenchReport("tiles from the cache", filter, threads);
    }
    BenchOk(KelvraDataDisconnect(image, &filter), "disconnect");
}

} // namespace

int main()
{
    CBenchPicture picture(kWidth, kHeight, kKelvraRGB16, RgbSample, "16-bit RGB");
    if (!picture.Ok())
        return 1;
    IKelvraManager* manager = picture.Manager();
    IKelvraImage* image = picture.Image();
    const long cores = picture.Cores();
    RunPasses(manager, image);
    for (long threads : {1L, cores})
        RunFilter(manager, image, threads);
    return 0;
}
