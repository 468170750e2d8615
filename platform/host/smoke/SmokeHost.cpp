// Loads the smoke module by name and calls its export found by the written
// name: proves that modules and their hosts meet the same way on both targets.
#include <windows.h>

#include <cstdio>

namespace {
using AnswerFn = DWORD(WINAPI*)(DWORD);
}

int main()
{
    HMODULE module = LoadLibraryA("TlSmokeModule.dll");
    if (!module) {
        std::printf("TlSmokeModule.dll did not load (error %lu)\n", GetLastError());
        return 1;
    }
    auto answer = reinterpret_cast<AnswerFn>(reinterpret_cast<void*>(GetProcAddress(module, "TlSmokeAnswer")));
    if (!answer) {
        std::printf("TlSmokeAnswer is not exported by its name\n");
        FreeLibrary(module);
        return 1;
    }
    DWORD result = answer(20);
    FreeLibrary(module);
    std::printf("TlSmokeAnswer(20) = %lu\n", result);
    return result == 41 ? 0 : 1;
}
