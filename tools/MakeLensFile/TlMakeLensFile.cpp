// TlMakeLensFile <folder>: writes the fisheye lens's data file "Tl0080.lns"
// into the folder (the install step points it at
// "<Common Files>\Talvo\Profiles").
#include "MakeLensFile/TlLensFileMaker.h"
#include "common/TlToolFile.h"

int main(int argc, char** argv)
{
    return TlRunFolderTool(argc, argv, "TlMakeLensFile", "the lens file was not written", TlWriteLensFile);
}
