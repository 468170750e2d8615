// TlMakeLensFile <folder>: writes the fisheye lens's data file "Tl0080.lns"
// into the folder (the install step points it at
// "<Common Files>\Talvo\Profiles").
#include "MakeLensFile/TlLensFileMaker.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: TlMakeLensFile <folder>\n");
        return 2;
    }
    std::string failure;
    if (TlWriteLensFile(argv[1], &failure))
        return 0;
    std::fprintf(stderr, "TlMakeLensFile: the lens file was not written: %s\n", failure.c_str());
    return 1;
}
