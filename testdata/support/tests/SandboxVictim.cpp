// A test process that redirects a registry value under a sandbox, for
// RegistrySandboxTest:
//   tl_sandbox_victim value <text | ->   preserves the probe value, sets it to
//                                        the text (or deletes it for "-") and
//                                        is killed before its sandbox ends
//   tl_sandbox_victim common-files <folder>
//                                        points the Common Files folder at the
//                                        folder and is killed likewise
//   tl_sandbox_victim observe <event>    sets the event, preserves the probe
//                                        value and writes what it found into
//                                        the observed value; ends normally
#include "SandboxVictim.h"
#include "support/CommonFilesSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/SiblingProcess.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

int Observe(const char* eventName)
{
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName);
    if (!ready)
        return 1;
    SetEvent(ready);
    CloseHandle(ready);
    RegistrySandbox sandbox;
    sandbox.Preserve(HKEY_CURRENT_USER, kProbeKey, kProbeValue);
    StoredValue found;
    const std::string seen = LoadValue(HKEY_CURRENT_USER, kProbeKey, kProbeValue, found)
                                 ? std::string(found.data.begin(), std::find(found.data.begin(), found.data.end(), 0))
                                 : std::string("(none)");
    StoreText(HKEY_CURRENT_USER, kProbeKey, kObservedValue, seen);
    StoreText(HKEY_CURRENT_USER, kProbeKey, kProbeValue, "the observer's");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::string what = argv[1];
    if (what == "observe")
        return Observe(argv[2]);
    if (what == "value") {
        RegistrySandbox sandbox;
        sandbox.Preserve(HKEY_CURRENT_USER, kProbeKey, kProbeValue);
        if (std::strcmp(argv[2], "-") == 0)
            DeleteValue(HKEY_CURRENT_USER, kProbeKey, kProbeValue);
        else
            StoreText(HKEY_CURRENT_USER, kProbeKey, kProbeValue, argv[2]);
        EndAsKilled();
    }
    if (what == "common-files") {
        CommonFilesSandbox sandbox;
        sandbox.PointAt(argv[2]);
        EndAsKilled();
    }
    return 2;
}
