// Times the preview of a 6000 x 4000 synthetic raw file opened through the
// image control, as a host shows it at a 1024-pixel preview: the full
// build (chain built, first update, every pixel of the preview made) and a
// single-slider update (the exposure raw option moved, the preview made
// again), once with the option alone and once with the settings' exposure.
// The file is made first in a temporary folder that goes at the end.
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

// Moves the exposure slider to `stops` and reads the whole preview again,
// printing the time under `what`; with `settings` the settings' exposure
// moves with it.
bool MoveExposure(CTlvQrfControl& control, double stops, bool settings, const char* what)
{
    constexpr std::uint32_t kAdjustmentOption = 3;
    TlvQrfLib::strTlnAdjustmentOption exposure{sizeof exposure, 0, stops};
    TlvQrfLib::strTlnRawOption option{sizeof option, kAdjustmentOption, &exposure};
    IKelvraFilterChain* chain = control.GetFilterChain();
    long width = 0, height = 0;
    CVentraChrono chrono;
    if (settings) {
        control.adjustUsed = 1;
        control.adjust.value = stops;
    }
    if (Failed(control.SetRawOption(&option), "exposure") || chain == nullptr || !MakePreview(chain, &width, &height))
        return false;
    std::printf("%s: %.3f s (%ld x %ld)\n", what, chrono.Elapsed(), width, height);
    return true;
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
    // A host shows an 8-bit preview of the size it asks for.
    const long shorter = raw.options.width > raw.options.height ? raw.options.height : raw.options.width;
    const long longer = raw.options.width + raw.options.height - shorter;
    const std::uint32_t across = std::uint32_t(side), down = std::uint32_t(side * shorter / longer);
    const bool landscape = raw.options.width >= raw.options.height;
    if (!ShowPreviewAt(control, landscape ? across : down, landscape ? down : across, 1)) {
        std::printf("the control refused the preview size\n");
        return 1;
    }

    CVentraChrono chrono;
    IKelvraFilterChain* chain = nullptr;
    long width = 0, height = 0;
    if (Failed(control.GetFilterChain(&chain), "build") || !MakePreview(chain, &width, &height))
        return 1;
    std::printf("full preview build: %.3f s (%ld x %ld)\n", chrono.Elapsed(), width, height);

    // The exposure slider as the host moves it, through the raw option:
    // the update runs at the preview's scale. (Update passes the holder's
    // own view scale, which stays 1.0, so through it the preview would be
    // remade at full size.) The option alone changes no pixel (the
    // parameter set does not read it), so the first update times what an
    // update costs that only repaints; the second moves the exposure of the
    // settings too, so that every stage after the tone table works again.
    const bool moved = MoveExposure(control, 0.5, false, "single-slider update (exposure option only, no pixel changes)") &&
                       MoveExposure(control, 1.0, true, "single-slider update (exposure one stop up, pixels change)");
    return moved ? 0 : 1;
}
