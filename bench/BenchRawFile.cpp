#include "BenchRawFile.h"

#include "filtrix/VentraChrono.h"

#include <cstdio>
#include <cstdlib>

bool OpenBenchRaw(int argc, char** argv, const CDevelopEnvironment& environment, const char* name, SBenchRaw* raw)
{
    if (!environment.IsReady()) {
        std::printf("the profiles folder could not be made\n");
        return false;
    }
    raw->options = SceneOptions(argc > 2 ? std::strtol(argv[1], nullptr, 10) : 6000,
                                argc > 2 ? std::strtol(argv[2], nullptr, 10) : 4000);
    raw->megapixels = double(raw->options.width) * double(raw->options.height) / 1e6;
    CVentraChrono chrono;
    const std::string path = environment.WriteRaw(name, raw->options);
    raw->makeSeconds = chrono.Elapsed();
    if (path.empty()) {
        std::printf("the raw file could not be made\n");
        return false;
    }
    chrono.Start();
    raw->opened = environment.Open(path);
    raw->openSeconds = chrono.Elapsed();
    if (raw->opened.control == nullptr) {
        std::printf("the control could not open the raw file\n");
        return false;
    }
    return true;
}
