// TlMakeNeutralSettings <folder>: writes the neutral settings file
// "Neutral.set" into the folder (the install step points it at the program
// folder, beside TlbQrf.dll).
#include "MakeNeutralSettings/TlNeutralSettingsMaker.h"
#include "common/TlToolFile.h"

int main(int argc, char** argv)
{
    return TlRunFolderTool(argc, argv, "TlMakeNeutralSettings", "the neutral settings were not written", TlWriteNeutralSettings);
}
