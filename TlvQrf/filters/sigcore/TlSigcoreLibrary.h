// The process-wide handle of the signal-processing library: loaded on the
// first development, unloaded when the last raw-processing image goes. The
// count of live images and the handle change together under one lock, since
// images are made and dropped on more than one thread.
#pragma once

#include "kelvra/KelvraError.h"
#include "sigcore/Sigcore.h"

class CSigcoreLibrary {
public:
    static void AddUser();
    // The last user unloads the library.
    static void RemoveUser();
    // Loads the library once and finds its entry point; code 1007 (tagged
    // `tag`) when either fails. Only a live user may call it.
    static IKelvraError* GetEntry(KelvraTag tag, SigProcExFn* entry);

    static bool IsLoaded();
    // How often the library was unloaded since the process started.
    static long UnloadCount();
    // Loads another file by this name from now on (tests of a missing
    // library); null restores "Sigcore.dll".
    static void SetLibraryName(const char* name);
};
