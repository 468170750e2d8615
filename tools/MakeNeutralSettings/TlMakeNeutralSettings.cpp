// TlMakeNeutralSettings <folder>: writes the neutral settings file
// "Neutral.set" into the folder (the install step points it at the program
// folder, beside TlbQrf.dll).
#include "MakeNeutralSettings/TlNeutralSettingsMaker.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: TlMakeNeutralSettings <folder>\n");
        return 2;
    }
    std::string failure;
    if (TlWriteNeutralSettings(argv[1], &failure))
        return 0;
    std::fprintf(stderr, "TlMakeNeutralSettings: the neutral settings were not written: %s\n", failure.c_str());
    return 1;
}
