// TlMakeCameraTables <folder>: writes the camera profile generator's tables
// "TLCamTables_QRF.dat" into the folder (the install step points it at
// "<Common Files>\Talvo\Profiles").
#include "MakeCameraTables/TlCameraTablesMaker.h"
#include "common/TlToolFile.h"

int main(int argc, char** argv)
{
    return TlRunFolderTool(argc, argv, "TlMakeCameraTables", "the tables were not written", TlWriteCameraTables);
}
