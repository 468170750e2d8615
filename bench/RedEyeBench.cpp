// Automatic red-eye detection and correction over a 6000 x 4000 8-bit RGB
// picture of the red-eye library's synthetic face: the library alone
// (detection, then correction of what it found), then the red-eye filter
// (working buffer, detection and correction) and the pull of its every
// output tile on one thread and on as many as the machine has cores. Run
// by hand under Wine.
#include "BenchTilePull.h"
#include "EyemendFace.h"
#include "filters/redeye/TlRedEyeFilter.h"
#include "filtrix/VentraChrono.h"
#include "kelvra/KelvraImage.h"

#include <cstdio>

namespace {

const std::int32_t kWidth = 6000;
const std::int32_t kHeight = 4000;

void TimeLibrary(EyemendFace face)
{
    const ReParams params = face.Params();
    ReList found{nullptr, nullptr};
    CVentraChrono detection;
    const ReStatus detected = ReDetectAuto(&params, 0, nullptr, 0, 0, &found);
    const double detectSeconds = detection.Elapsed();
    long regions = 0;
    for (ReRegion* r = ReListNext(&found, nullptr); r != nullptr; r = ReListNext(&found, r))
        ++regions;
    CVentraChrono correction;
    const ReStatus corrected = ReCorrectRegions(&params, &found, nullptr, nullptr, 30);
    const double correctSeconds = correction.Elapsed();
    std::printf("library: detection %.3f s (status %08x, %ld regions), correction %.4f s (status %08x)\n",
                detectSeconds, detected, regions, correctSeconds, corrected);
    ReListEmpty(&found);
}

IKelvraImage* MakeImage(IKelvraManager* manager, const EyemendFace& face)
{
    IKelvraImage* image = nullptr;
    if (!BenchOk(manager->CreateImage(&image, 0), "image"))
        return nullptr;
    if (BenchOk(image->SetSize(face.width, face.height), "size") &&
        BenchOk(image->SetColorSpace(kKelvraRGB8), "format") &&
        BenchOk(KelvraWriteRect(image, KelvraRect(0, 0, face.width, face.height), face.pixels.data(),
                                face.RowBytes()),
                "write"))
        return image;
    image->Release();
    return nullptr;
}

void TimeFilter(IKelvraManager* manager, IKelvraImage* image, long threads)
{
    CRedEyeFilter filter(manager);
    filter.SetCacheUsage(0);
    if (!BenchOk(KelvraDataConnect(image, &filter), "connect"))
        return;
    CVentraChrono chrono;
    if (BenchOk(filter.DetectAuto(nullptr, 4096, false), "detect")) {
        std::printf("filter: buffer, detection and correction %.3f s (%zu regions)\n", chrono.Elapsed(),
                    filter.GetRegions(false).size());
        BenchReport("red-eye output", filter, threads);
    }
    BenchOk(KelvraDataDisconnect(image, &filter), "disconnect");
}

} // namespace

int main()
{
    const EyemendFace face = MakeEyemendFace(kWidth, kHeight, false);
    const long cores = BenchCores();
    std::printf("%d x %d 8-bit, %ld core(s)\n", kWidth, kHeight, cores);
    TimeLibrary(face);

    IKelvraManager* manager = nullptr;
    if (!BenchOk(IKelvraManager::_CreateKelvraManager(0x400A01, nullptr, 0, 0, 0, &manager), "manager"))
        return 1;
    IKelvraImage* image = MakeImage(manager, face);
    if (image == nullptr)
        return 1;
    for (long threads : {1L, cores})
        TimeFilter(manager, image, threads);
    image->Release();
    manager->Release();
    return 0;
}
