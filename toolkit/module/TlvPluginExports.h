// The four exports of an output plug-in (TlvPluginExports.cpp, built into
// every plug-in with the shared TlvModule.def). The plug-in defines the two
// hooks below: who it is, and how its entry object is made.
#pragma once

#include "module/TlvPluginTemplate.h"

struct TlvPluginIdentity {
    int moduleType;
    int flags; // the information record's flags word
    const char* name;
};

// Defined once by each plug-in.
extern const TlvPluginIdentity g_tlvPluginIdentity;
// A new entry object, or null when memory runs out; must not throw.
CTlvPluginEntry* TlvNewPluginEntry() noexcept;

// The entry object while the plug-in is initialised, else null.
CTlvPluginEntry* TlvCurrentPluginEntry();

extern "C" {
void __cdecl TlvClose();
unsigned long __cdecl TlvGetInformation(int* moduleType, int* interfaceKind);
unsigned long __cdecl TlvInitialize(TlvHostCallback callback, ITlvHost* host);
unsigned long __cdecl TlvMessage(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                                 TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag);
}
