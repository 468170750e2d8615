// TlMakeCalibration <folder>: writes the calibration files into the folder
// (the install step points it at "<Common Files>\Talvo\Profiles").
// TlMakeCalibration --neutral <file> | --curve <name> <file>: one file, the
// neutral curve or a shipped one, for tests and experiments.
#include "MakeCalibration/TlCalibrationMaker.h"

#include <cstdio>
#include <cstring>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: TlMakeCalibration <folder>\n"
                         "       TlMakeCalibration --neutral <file>\n"
                         "       TlMakeCalibration --curve TlLchCal.nlc|TlCBoost.nlc <file>\n");
    return 2;
}

int WriteOne(const TlCalibrationCurve& curve, const char* path)
{
    if (TlWriteCalibrationFile(path, curve))
        return 0;
    std::fprintf(stderr, "TlMakeCalibration: %s was not written\n", path);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && argv[1][0] != '-') {
        if (TlWriteCalibrations(argv[1]))
            return 0;
        std::fprintf(stderr, "TlMakeCalibration: the calibration files were not written into %s\n", argv[1]);
        return 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--neutral") == 0)
        return WriteOne(TlNeutralCalibration(), argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "--curve") == 0) {
        const TlCalibrationCurve* curve = TlFindCalibration(argv[2]);
        return curve != nullptr ? WriteOne(*curve, argv[3]) : Usage();
    }
    return Usage();
}
