// Makes synthetic Qrf raw files (and the scene's true colours as a 16-bit
// TIFF) for tests and benchmarks. Run under Wine:
//
//   QrfMake --out FILE [--width N] [--height N] [--model CODE]
//           [--pattern RGGB|BGGR|GRBG|GBRG|YCGM] [--gains RED,BLUE]
//           [--format 32|2048] [--scene chart|zoneplate] [--truth FILE]
#include "qrfsynth/QrfSynthFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Arguments {
    QrfRawOptions options;
    std::string out;
    std::string truth;
};

int Usage(const char* problem)
{
    std::fprintf(stderr, "QrfMake: %s\n", problem);
    std::fprintf(stderr, "usage: QrfMake --out FILE [--width N] [--height N] [--model CODE]\n"
                         "               [--pattern RGGB|BGGR|GRBG|GBRG|YCGM] [--gains RED,BLUE]\n"
                         "               [--format 32|2048] [--scene chart|zoneplate] [--truth FILE]\n");
    return 2;
}

bool Take(const std::string& name, const char* value, Arguments* args)
{
    QrfRawOptions& o = args->options;
    if (name == "--out")
        args->out = value;
    else if (name == "--truth")
        args->truth = value;
    else if (name == "--width")
        o.width = std::strtol(value, nullptr, 10);
    else if (name == "--height")
        o.height = std::strtol(value, nullptr, 10);
    else if (name == "--model")
        o.model = std::uint32_t(std::strtoul(value, nullptr, 10));
    else if (name == "--format")
        o.format = std::uint32_t(std::strtoul(value, nullptr, 10));
    else if (name == "--pattern")
        return QrfParsePattern(value, &o.pattern);
    else if (name == "--scene")
        return QrfParseScene(value, &o.scene);
    else if (name == "--gains")
        return std::sscanf(value, "%lf,%lf", &o.gains.red, &o.gains.blue) == 2;
    else
        return false;
    return true;
}

int Report(IKelvraError* error, const char* what)
{
    if (!error)
        return 0;
    const IKelvraError* cause = error->FindCause();
    std::fprintf(stderr, "QrfMake: %s failed (code %ld)\n", what, cause ? cause->GetCode() : -1L);
    IKelvraError::Release(error);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    Arguments args;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc || !Take(argv[i], argv[i + 1], &args))
            return Usage("bad or incomplete argument");
    }
    if (args.out.empty())
        return Usage("--out is required");
    const std::string problem = QrfCheckOptions(args.options);
    if (!problem.empty())
        return Usage(problem.c_str());
    if (int failed = Report(QrfWriteRaw(args.options, args.out.c_str()), "writing the raw file"))
        return failed;
    if (!args.truth.empty())
        return Report(QrfWriteTruth(args.options.width, args.options.height, args.truth.c_str(), args.options.scene),
                      "writing the truth");
    return 0;
}
