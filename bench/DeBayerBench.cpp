// Demosaics a 6000 x 4000 raw mosaic with the standard and the high-quality
// De-Bayer filter, pulling every output tile once as a display or a run
// would, on one thread and on as many threads as the machine has cores
// (each thread takes every n-th row of tiles). Reports output megapixels
// per second; the high-quality filter's goal is at least 150 MP/s on 8
// cores. Run by hand under Wine.
#include "BenchTilePull.h"
#include "filters/debayer/TlDeBayerHQFilter.h"
#include "filters/debayer/TlDeBayerStdFilter.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <cstdint>
#include <cstdio>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;
const std::uint8_t kPattern[8] = {0, 2, 0, 2, 0, 1, 1, 2};

// Smooth shading with edges and noise, 12-bit.
std::uint16_t MosaicSample(long x, long y, int)
{
    const unsigned noise = unsigned(x * 73856093L ^ y * 19349663L) % 64;
    const unsigned edge = (x / 97 + y / 61) % 2 ? 900 : 0;
    return std::uint16_t((x / 3 + y / 2 + edge + noise) % 4096);
}

void Run(const char* name, CDeBayerFilterBase& filter, IKelvraImage* mosaic, long threads)
{
    // Each run starts from an empty cache: a fresh pattern marks the output stale.
    filter.SetCacheUsage(0);
    if (!BenchOk(KelvraDataConnect(mosaic, &filter), "connect") ||
        !BenchOk(filter.SetPixelMap(kPattern, sizeof kPattern, false), "pattern"))
        return;
    BenchReport(name, filter, threads);
}

} // namespace

int main()
{
    CBenchPicture picture(kWidth, kHeight, kKelvraRawMosaic, MosaicSample, "raw mosaic -> 16-bit RGB");
    if (!picture.Ok())
        return 1;
    IKelvraManager* manager = picture.Manager();
    IKelvraImage* mosaic = picture.Image();
    const long cores = picture.Cores();
    for (long threads : {1L, cores}) {
        CDeBayerStdFilter standard(manager);
        Run("standard", standard, mosaic, threads);
        CDeBayerHQFilter high(manager);
        Run("high quality", high, mosaic, threads);
    }
    return 0;
}
