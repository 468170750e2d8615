// Times the export of a 6000 x 4000 synthetic raw file to an 8-bit JPEG as
// a host's save runs it: the image control's settings, the full-resolution
// development and the write through a temporary file. Also times the
// development alone, into memory, to tell it from the writing. Reports
// seconds and megapixels per second of the raw file. The files are made in
// a temporary folder that goes at the end.
// Run by hand under Wine: ExportBench [width height]
#include "BenchDevelop.h"
#include "BenchRawFile.h"
#include "filtrix/VentraChrono.h"
#include "params/TlvParamSet.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveImage.h"

#include <cstdio>
#include <memory>

namespace {

constexpr std::uint32_t kEightBitColour = 0;
constexpr std::uint32_t kJpegQuality = 90;

void Report(const char* what, double seconds, double megapixels)
{
    std::printf("%s: %.2f s, %.1f MP/s\n", what, seconds, megapixels / seconds);
}

} // namespace

int main(int argc, char** argv)
{
    CDevelopEnvironment environment;
    SBenchRaw raw;
    if (!OpenBenchRaw(argc, argv, environment, "ExportBench.qrf", &raw))
        return 1;
    std::printf("export of a %ld x %ld raw file (%.1f MP, made in %.2f s, opened in %.3f s)\n", raw.options.width,
                raw.options.height, raw.megapixels, raw.makeSeconds, raw.openSeconds);
    CTlvQrfControl& control = *raw.opened.control;
    std::unique_ptr<CTlvParamSet> params(control.CreateParamSet());
    CVentraChrono chrono;
    if (!DevelopInMemory(environment.Manager(), *params))
        return 1;
    Report("full-resolution development into memory", chrono.Elapsed(), raw.megapixels);

    params.reset(control.CreateParamSet());
    const std::string target = environment.Files().File("ExportBench.jpg");
    chrono.Start();
    const int result = SaveImageToFile(params.get(), target.c_str(), kEightBitColour, kPellioFormatJpeg,
                                       kJpegQuality, false);
    const double seconds = chrono.Elapsed();
    if (result != 0) {
        std::printf("the export failed (%d)\n", result);
        return 1;
    }
    Report("export to 8-bit JPEG", seconds, raw.megapixels);
    return 0;
}
