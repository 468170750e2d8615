// The four exports of a module as its host binds them, by name.
#pragma once

#include "host/api/TlvHostApi.h"

using TlvCloseFn = void(__cdecl*)();
using TlvGetInformationFn = unsigned long(__cdecl*)(int*, int*);
using TlvInitializeFn = unsigned long(__cdecl*)(TlvHostCallback, ITlvHost*);
using TlvMessageFn = unsigned long(__cdecl*)(TlvWord, TlvWord, TlvWord, TlvWord, TlvWord, TlvWord, TlvWord, TlvWord,
                                             TlvWord);

// The export `name` of `library` as a function of type Fn; null when missing.
template <class Fn>
Fn TlvBindExport(HMODULE library, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The four exports of a loaded module. Bind keeps whichever it finds, so a
// host can still close a module that lacks another one.
struct TlvModuleExports {
    TlvCloseFn close = nullptr;
    TlvGetInformationFn getInformation = nullptr;
    TlvInitializeFn initialize = nullptr;
    TlvMessageFn message = nullptr;

    // True when all four are there.
    bool Bind(HMODULE library)
    {
        close = TlvBindExport<TlvCloseFn>(library, "TlvClose");
        getInformation = TlvBindExport<TlvGetInformationFn>(library, "TlvGetInformation");
        initialize = TlvBindExport<TlvInitializeFn>(library, "TlvInitialize");
        message = TlvBindExport<TlvMessageFn>(library, "TlvMessage");
        return close != nullptr && getInformation != nullptr && initialize != nullptr && message != nullptr;
    }
};
