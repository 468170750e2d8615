// A library that shows a message box while it starts, as a module whose
// start-up fails loudly does.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        MessageBoxA(nullptr, "box of a starting library", "Library", MB_OK);
    return TRUE;
}
