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
