// Runs the three filters on lightness, chroma and hue pixels, saturation
// compensation, the chroma booster and the LCH editor, over a 6000 x 4000
// 16-bit LCh image, each alone and the three chained as the full-resolution
// chain orders them, pulling every output tile once on one thread and on as
// many threads as the machine has cores. Reports megapixels per second. Run
// by hand under Wine in the installed prefix: the booster reads its
// calibration file from the profiles folder.
#include "BenchTilePull.h"
#include "filters/chromabooster/TlChromaBoosterFilter.h"
#include "filters/lch/TlFltLch.h"
#include "filters/saturation/TlSaturationCompensationFilter.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;

// Lightness rising down the picture, chroma across it, hue turning with both.
std::uint16_t LchSample(long x, long y, int plane)
{
    if (plane == 0)
        return std::uint16_t(y * 65535 / kHeight);
    if (plane == 1)
        return std::uint16_t(x * 40000 / kWidth);
    return std::uint16_t((x * 7 + y * 13) * 3);
}

// The user's curves: a lifted lightness, a turned hue band and more chroma
// for half the hues; a flat threshold in place of the calibration file.
bool SetCurves(CFltLch& lch)
{
    std::vector<std::uint16_t> lightness(65536), hue(65536), chroma(65536), threshold(65536, 20000);
    for (std::size_t k = 0; k < 65536; ++k) {
        lightness[k] = std::uint16_t(k + (65535 - k) / 8);
        hue[k] = std::uint16_t(k >= 0x4000 && k < 0x5000 ? k + 0x400 : k);
        chroma[k] = std::uint16_t(k < 0x8000 ? 52000 : 32768);
    }
    const std::uint16_t* const tables[4] = {lightness.data(), hue.data(), chroma.data(), threshold.data()};
    return BenchOk(lch.SetLuts(tables, 16, 16, 4, false), "curves");
}

bool SetBooster(CChromaBoosterFilter& booster)
{
    if (!BenchOk(booster.LoadCalibration(nullptr), "booster calibration (run in the installed prefix)"))
        return false;
    return BenchOk(booster.SetThresholdEnabled(true, false), "threshold") &&
           BenchOk(booster.SetLevel(60, false), "level");
}

// Fresh filters for every measurement, so that each starts from empty
// caches and unprepared tables.
struct Filters {
    explicit Filters(IKelvraManager* manager) : saturation(manager), booster(manager), lch(manager) {}
    bool Set()
    {
        saturation.SetParameter(0);
        return BenchOk(saturation.SetLevel(5, false), "saturation") && SetBooster(booster) && SetCurves(lch);
    }
    CSaturationCompensationFilter saturation;
    CChromaBoosterFilter booster;
    CFltLch lch;
};

void RunAlone(const char* name, CKelvraFilterBase& filter, IKelvraImage* image, long threads)
{
    filter.SetCacheUsage(0);
    if (BenchOk(KelvraDataConnect(image, &filter), "connect"))
        BenchReport(name, filter, threads);
    BenchOk(KelvraDataDisconnect(image, &filter), "disconnect");
}

void RunChained(Filters& filters, IKelvraImage* image, long threads)
{
    CKelvraFilterBase* stages[] = {&filters.saturation, &filters.booster, &filters.lch};
    IKelvraDataSource* previous = image;
    bool ok = true;
    for (CKelvraFilterBase* stage : stages) {
        stage->SetCacheUsage(0);
        ok = ok && BenchOk(KelvraDataConnect(previous, stage), "connect");
        previous = stage;
    }
    if (ok)
        BenchReport("all three chained", filters.lch, threads);
    previous = image;
    for (CKelvraFilterBase* stage : stages) {
        BenchOk(KelvraDataDisconnect(previous, stage), "disconnect");
        previous = stage;
    }
}

} // namespace

int main()
{
    CBenchPicture picture(kWidth, kHeight, kKelvraLCh16, LchSample, "16-bit LCh");
    if (!picture.Ok())
        return 1;
    IKelvraManager* manager = picture.Manager();
    IKelvraImage* image = picture.Image();
    const long cores = picture.Cores();
    for (long threads : {1L, cores}) {
        Filters alone(manager);
        if (!alone.Set())
            break;
        RunAlone("saturation compensation", alone.saturation, image, threads);
        RunAlone("chroma booster", alone.booster, image, threads);
        RunAlone("LCH editor", alone.lch, image, threads);
        Filters chained(manager);
        if (chained.Set())
            RunChained(chained, image, threads);
    }
    return 0;
}
