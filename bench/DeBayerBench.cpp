// Demosaics a 6000 x 4000 raw mosaic with the standard and the high-quality
// De-Bayer filter, pulling every output tile once as a display or a run
// would, on one thread and on as many threads as the machine has cores
// (each thread takes every n-th row of tiles). Reports output megapixels
// per second; the high-quality filter's goal is at least 150 MP/s on 8
// cores. Run by hand under Wine.
#include "BenchTilePull.h"
#include "filters/debayer/TlDeBayerHQFilter.h"
#include "filters/debayer/TlDeBayerStdFilter.h"
#include "filtrix/VentraChrono.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <cstdint>
#include <cstdio>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;
const long kTile = 64;
const std::uint8_t kPattern[8] = {0, 2, 0, 2, 0, 1, 1, 2};

// Smooth shading with edges and noise, 12-bit.
bool FillTile(IKelvraImage* image, long column, long row)
{
    void* data = nullptr;
    KelvraRect rect;
    long rowBytes = 0;
    if (!BenchOk(image->LockTileForWrite(column, row, &data, &rect, &rowBytes), "write lock"))
        return false;
    for (long y = rect.top; y < rect.bottom; ++y) {
        auto* samples = reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(data) + (y - rect.top) * rowBytes);
        for (long x = rect.left; x < rect.right; ++x) {
            const unsigned noise = unsigned(x * 73856093L ^ y * 19349663L) % 64;
            const unsigned edge = (x / 97 + y / 61) % 2 ? 900 : 0;
            samples[x - rect.left] = std::uint16_t((x / 3 + y / 2 + edge + noise) % 4096);
        }
    }
    return BenchOk(image->UnlockTileForWrite(column, row, false), "write unlock");
}

IKelvraImage* MakeMosaic(IKelvraManager* manager)
{
    IKelvraImage* image = nullptr;
    if (!BenchOk(manager->CreateImage(&image, 0), "image"))
        return nullptr;
    bool ok = BenchOk(image->SetSize(kWidth, kHeight), "size") &&
              BenchOk(image->SetColorSpace(kKelvraRawMosaic), "format");
    for (long row = 0; ok && row * kTile < kHeight; ++row)
        for (long column = 0; ok && column * kTile < kWidth; ++column)
            ok = FillTile(image, column, row);
    if (!ok) {
        image->Release();
        return nullptr;
    }
    return image;
}

void Run(const char* name, CDeBayerFilterBase& filter, IKelvraImage* mosaic, long threads)
{
    // Each run starts from an empty cache: a fresh pattern marks the output stale.
    filter.SetCacheUsage(0);
    if (!BenchOk(KelvraDataConnect(mosaic, &filter), "connect") ||
        !BenchOk(filter.SetPixelMap(kPattern, sizeof kPattern, false), "pattern"))
        return;
    long width = 0, height = 0;
    filter.GetSize(&width, &height);
    const double megapixels = double(width) * double(height) / 1e6;
    CVentraChrono chrono;
    if (!BenchPullAll(filter, threads))
        return;
    const double seconds = chrono.Elapsed();
    std::printf("%-16s %2ld thread(s): %.1f MP in %.3f s = %.1f MP/s\n", name, threads, megapixels, seconds,
                megapixels / seconds);
}

} // namespace

int main()
{
    IKelvraManager* manager = nullptr;
    if (!BenchOk(IKelvraManager::_CreateKelvraManager(0x400A01, nullptr, 0, 0, 0, &manager), "manager"))
        return 1;
    IKelvraImage* mosaic = MakeMosaic(manager);
    if (!mosaic)
        return 1;
    const long cores = BenchCores();
    std::printf("%ld x %ld raw mosaic -> 16-bit RGB, %ld core(s)\n", kWidth, kHeight, cores);
    for (long threads : {1L, cores}) {
        CDeBayerStdFilter standard(manager);
        Run("standard", standard, mosaic, threads);
        CDeBayerHQFilter high(manager);
        Run("high quality", high, mosaic, threads);
    }
    mosaic->Release();
    manager->Release();
    return 0;
}
