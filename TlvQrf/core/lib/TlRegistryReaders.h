// The library's registry readers. Every reader takes a root-key kind:
//   0 machine-wide library key, 1 per-user library key,
//   2 machine-wide common key,  3 per-user common key,
// and a sub-key name appended to that key. Keys are opened for reading
// only and never created; every reader falls back to its default.
#pragma once

#include <windows.h>

#include <string>

enum TlRegistryKind {
    kTlMachineLibraryKey = 0,
    kTlUserLibraryKey = 1,
    kTlMachineCommonKey = 2,
    kTlUserCommonKey = 3,
};

// Any kind other than 0, 2 and 3 counts as the per-user library key.
bool RegistryValueExists(int kind, const char* subKey, const char* valueName);
// The value's first four bytes; the default when the key or value is missing
// or the kind is not 0 to 3.
DWORD ReadRegistryDword(int kind, const char* subKey, const char* valueName, DWORD def);
// The value's text; the default when the key or value is missing, an empty
// text when the kind is not 0 to 3.
std::string ReadRegistryString(int kind, const char* subKey, const char* valueName, const char* def);

// The same with both names loaded from the library's string table.
bool RegistryValueExistsById(int kind, UINT subKeyId, UINT valueId);
std::string ReadRegistryStringById(int kind, UINT subKeyId, UINT valueId, const char* def);

// A colour-management preference (ids 32104 monitor, 32105 RGB, 32106 CMYK,
// 32108 printer): the stored path, per user first, then machine-wide; empty
// when none is stored. False, with `path` untouched, for any other id.
bool ReadProfilePreference(UINT preferenceId, std::string& path);
