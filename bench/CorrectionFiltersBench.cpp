// Runs the auto brightness, the vignette correction (its gain table alone,
// then its pixels) and the fisheye correction (both curve pairs) over a
// 6000 x 4000 16-bit RGB image, pulling every output tile once on one thread
// and on as many threads as the machine has cores. Reports megapixels per
// second. Run by hand under Wine in the installed prefix: the fisheye
// correction reads its lens file from the profiles folder.
#include "BenchTilePull.h"
#include "filters/autobrightness/TlAutoBrightnessFilter.h"
#include "filters/fisheye/TlFisheyeFilter.h"
#include "filters/vignette/TlVignetteFilter.h"
#include "filtrix/VentraChrono.h"
#include "kelvra/KelvraTagControl.h"
#include "settings/lens/TlLensInformation.h"

#include <cstdint>
#include <cstdio>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;

// Mid tones rising across and down the picture, a different slope per
// channel.
std::uint16_t RgbSample(long x, long y, int plane)
{
    return std::uint16_t(8000 + (x * (3 + plane) + y * (5 - plane)) % 40000);
}

// Capture tags that name the supported fisheye lens.
class FisheyeTags {
public:
    FisheyeTags()
    {
        if (!BenchOk(IKelvraTagControl::CreateTagControl(&m_tags), "tags"))
            return;
        std::uint8_t data[CTlLensInformation::kLensDataSize] = {'0', '1', '0', '0'};
        data[6] = CTlLensInformation::kSupportedLensCode;
        BenchOk(m_tags->AddTag(CTlLensInformation::kLensDataTag), "lens tag");
        BenchOk(m_tags->SetTag(CTlLensInformation::kLensDataTag, 264, sizeof data, data), "lens data");
    }
    ~FisheyeTags()
    {
        if (m_tags)
            m_tags->Destroy();
    }
    FisheyeTags(const FisheyeTags&) = delete;
    FisheyeTags& operator=(const FisheyeTags&) = delete;
    const IKelvraTagControl* Get() const { return m_tags; }

private:
    IKelvraTagControl* m_tags = nullptr;
};

void Run(const char* name, CKelvraFilterBase& filter, IKelvraImage* image, long threads)
{
    filter.SetCacheUsage(0);
    if (BenchOk(KelvraDataConnect(image, &filter), "connect"))
        BenchReport(name, filter, threads);
    BenchOk(KelvraDataDisconnect(image, &filter), "disconnect");
}

void RunAutoBrightness(IKelvraManager* manager, IKelvraImage* image, long threads)
{
    CAutoBrightnessFilter filter(manager);
    if (BenchOk(filter.SetUseBlackLevel(true, false), "black level") &&
        BenchOk(filter.SetLevels(-1, 6000, 50000, false), "levels"))
        Run("auto brightness", filter, image, threads);
}

void RunVignette(IKelvraManager* manager, IKelvraImage* image, long threads)
{
    CVignetteFilter filter(manager);
    if (!BenchOk(filter.SetFNumber(2.0, false), "f-number") || !BenchOk(filter.SetStrength(1.0, false), "strength"))
        return;
    CVentraChrono chrono;
    if (!BenchOk(filter.BuildGainTable(kWidth, kHeight), "gain table"))
        return;
    std::printf("%-26s           : %.1f ms\n", "vignette gain table", chrono.Elapsed() * 1000.0);
    Run("vignette pixels", filter, image, threads);
}

void RunFisheye(IKelvraManager* manager, IKelvraImage* image, long threads)
{
    FisheyeTags tags;
    const struct {
        const char* name;
        std::uint8_t fillMode;
    } modes[] = {{"fisheye, rectilinear", 0}, {"fisheye, filled", 1}};
    for (const auto& mode : modes) {
        CFisheyeFilter filter(manager);
        if (BenchOk(filter.SetLens(tags.Get()), "lens (run in the installed prefix)") &&
            BenchOk(filter.SetFillMode(mode.fillMode, false), "fill mode"))
            Run(mode.name, filter, image, threads);
    }
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
    for (long threads : {1L, cores}) {
        RunAutoBrightness(manager, image, threads);
        RunVignette(manager, image, threads);
        RunFisheye(manager, image, threads);
    }
    return 0;
}
