// The update agent's entry: command line, common controls, language library,
// single instance, then the update flow.
#include "app/CommandLine.h"
#include "app/TInstanceGuard.h"
#include "app/UpdateFlow.h"

#include <windows.h>
#include <commctrl.h>

namespace {
HINSTANCE g_program = nullptr;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const char* commandLine = AgentCommandLineOf(GetCommandLineA());
    const AgentStart start = ParseAgentCommandLine(commandLine);
    if (start == AgentStart::Usage) {
        ShowUsage();
        return 1;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    g_program = instance;
    HMODULE language = LoadLibraryA("CorvaneLang");
    if (!language) {
        ShowLanguageLibraryError();
        return 1;
    }
    TInstanceGuard guard;
    if (guard.AcquireSingleInstance(commandLine)) {
        TResource resource;
        resource.SetInstance(language);
        RunUpdateFlow(g_program, resource, start == AgentStart::Manual);
    }
    return 0;
}
