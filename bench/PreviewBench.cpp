// Times the preview of a 6000 x 4000 synthetic raw file opened through the
// image control, as a host shows it at a 1024-pixel preview: the full
// build (chain built, first update, every pixel of the preview made) and a
// single-slider update (exposure moved, the preview made again). The file
// is made first in a temporary folder that goes at the end.
// Run by hand under Wine: PreviewBench [width height [side]]
#include "BenchRawFile.h"
#include "filtrix/VentraChrono.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraImage.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

bool Failed(IKelvraError* error, const char* what)
{
    if (!error)
        return false;
    std::printf("%s failed (code %ld)\n", what, error->GetCode());
    IKelvraError::Release(error);
    return true;
}

// Makes every pixel of the preview; false when the chain cannot.
bool MakePreview(IKelvraFilterChain* chain, long* width, long* height)
{
    KelvraPixelFormat format = 0;
    if (Failed(chain->GetSize(width, height), "preview size") || Failed(chain->GetColorSpace(&format), "format"))
        return false;
    const long rowBytes = KelvraRowBytes(format, *width);
    std::vector<unsigned char> pixels(std::size_t(rowBytes) * std::size_t(*height));
    return !Failed(KelvraReadRect(chain, KelvraRect(0, 0, *width, *height), pixels.data(), rowBytes), "preview");
}

} // namespace

int main(int argc, char** argv)
{
    CDevelopEnvironment environment;
    SBenchRaw raw;
    if (!OpenBenchRaw(argc, argv, environment, "PreviewBench.qrf", &raw))
        return 1;
    const long side = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 1024;
    std::printf("preview at %ld pixels of a %ld x %ld raw file (made in %.2f s, opened in %.3f s)\n", side,
                raw.options.width, raw.options.height, raw.makeSeconds, raw.openSeconds);
    CTlvQrfControl& control = *raw.opened.control;
    const long longer = raw.options.width > raw.options.height ? raw.options.width : raw.options.height;
    control.SetScale(double(side) / double(longer));

    CVentraChrono chrono;
    IKelvraFilterChain* chain = nullptr;
    long width = 0, height = 0;
    if (Failed(control.GetFilterChain(&chain), "build") || !MakePreview(chain, &width, &height))
        return 1;
    std::printf("full preview build: %.3f s (%ld x %ld)\n", chrono.Elapsed(), width, height);

    chrono.Start();
    control.adjust.value = 0.5;
    control.adjustUsed = 1;
    const unsigned long result = control.Update(ITlvQrfData::eAdjustment, false, nullptr);
    if (result != 0 || !MakePreview(chain, &width, &height)) {
        std::printf("the update failed (%lu)\n", result);
        return 1;
    }
    std::printf("single-slider update (exposure): %.3f s\n", chrono.Elapsed());
    return 0;
}
