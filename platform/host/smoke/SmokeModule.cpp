// A module that exports one function by its written name, the way the
// project's modules export their fixed entry points.
#include <windows.h>

extern "C" DWORD WINAPI TlSmokeAnswer(DWORD question)
{
    return question * 2 + 1;
}
