// The four exports. Each works in the plug-in's own module state (its
// resources) and gives the caller's back on return. A host may call TlvClose
// and TlvMessage when TlvInitialize failed or was never called (the output
// module closes every plug-in it could not start): without an entry object
// they do nothing.
#include "module/TlvPluginExports.h"

#include "module/TlvAnswerNoThrow.h"

#include "afxwin.h"

#include <new>

namespace {

CTlvPluginEntry* g_entry = nullptr;

} // namespace

CTlvPluginEntry* TlvCurrentPluginEntry()
{
    return g_entry;
}

void __cdecl TlvClose()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (g_entry == nullptr)
        return;
    TlvAnswerNoThrow([] {
        g_entry->Close();
        return TLV_OK;
    });
    delete g_entry;
    g_entry = nullptr;
}

unsigned long __cdecl TlvGetInformation(int* moduleType, int* interfaceKind)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (moduleType != nullptr)
        *moduleType = g_tlvPluginIdentity.moduleType;
    if (interfaceKind != nullptr)
        *interfaceKind = kTlvInterfaceKind;
    return TLV_OK;
}

unsigned long __cdecl TlvInitialize(TlvHostCallback callback, ITlvHost* host)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CTlvPluginEntry* entry = TlvNewPluginEntry();
    if (entry == nullptr)
        return TLV_ERR_OUT_OF_MEMORY;
    g_entry = entry;
    return TlvAnswerNoThrow([&] {
        TlvModuleInfo info;
        info.moduleId = g_tlvPluginIdentity.moduleType;
        info.flags = g_tlvPluginIdentity.flags;
        info.interfaceKind = kTlvInterfaceKind;
        info.name = g_tlvPluginIdentity.name;
        return entry->Initialize(callback, host, info);
    });
}

unsigned long __cdecl TlvMessage(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                                 TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (g_entry == nullptr)
        return TLV_ERR_FAILED;
    return TlvAnswerNoThrow(
        [&] { return g_entry->Dispatch(code, value1, value2, record, count, recordType, subValue, request, replyTag); });
}
