// TlMakeCameraTables <folder>: writes the camera profile generator's tables
// "TLCamTables_QRF.dat" into the folder (the install step points it at
// "<Common Files>\Talvo\Profiles").
#include "MakeCameraTables/TlCameraTablesMaker.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: TlMakeCameraTables <folder>\n");
        return 2;
    }
    std::string failure;
    if (TlWriteCameraTables(argv[1], &failure))
        return 0;
    std::fprintf(stderr, "TlMakeCameraTables: the tables were not written: %s\n", failure.c_str());
    return 1;
}
