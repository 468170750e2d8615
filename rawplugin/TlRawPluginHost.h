// What the plug-in asks of the image editor beyond the record's fields:
// handles (the host's procedures when offered, the Windows global memory
// otherwise), the procedures a read needs, and the plug-in's own texts.
#pragma once

#include "psplugin/PsFormat.h"

#include <windows.h>

#include <cstddef>
#include <string>

// A handle of `size` bytes; null when memory ran out.
PsHandle TlRawNewHandle(const PsFormatRecord* record, std::size_t size);
void TlRawDisposeHandle(const PsFormatRecord* record, PsHandle handle);
void* TlRawLockHandle(const PsFormatRecord* record, PsHandle handle);
void TlRawUnlockHandle(const PsFormatRecord* record, PsHandle handle);

// Checks the buffer procedures, advance state and the handle procedures;
// when one is missing or unusable shows the warning and answers false.
bool TlRawHostCanRead(const PsFormatRecord* record);

// The plug-in's own module (the test program when linked into it), which
// holds its resources and registers its window classes.
HMODULE TlRawOwnModule();

// The folder of the plug-in file, ending in a backslash.
std::string TlRawOwnFolder();

// A text of the plug-in's string table.
std::string TlRawLoadString(unsigned id);

// String ids of the host warnings.
enum : unsigned {
    kTlRawStringNeedsVersion = 16992,
    kTlRawStringIncompatible = 16993,
};
