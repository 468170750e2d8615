// The four exports of the output module. TlvInitialize, TlvMessage and
// TlvClose work in the module's own state (its string table) and give the
// caller's back on return; no exception leaves them.
#include "OutputModule.h"

#include "afxwin.h"
#include "module/TlvAnswerNoThrow.h"
#include "module/TlvModuleInterface.h"
#include "runbase/TlvResultCodes.h"

namespace {

// The output module's interface kind towards the host.
constexpr int kOutputInterfaceKind = 0x909;

OutputModule g_module;

class COutputApp : public CWinApp {
public:
    COutputApp() : CWinApp("TlvOutput") {}
};

COutputApp theApp;

} // namespace

extern "C" {

void __cdecl TlvClose()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    g_module.Close();
}

unsigned long __cdecl TlvGetInformation(int* moduleType, int* interfaceKind)
{
    if (moduleType != nullptr)
        *moduleType = TLV_MODULE_OUTPUT;
    if (interfaceKind != nullptr)
        *interfaceKind = kOutputInterfaceKind;
    return TLV_OK;
}

unsigned long __cdecl TlvInitialize(TlvHostCallback callback, ITlvHost* host)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return TlvAnswerNoThrow([&] { return g_module.Start(callback, host); });
}

unsigned long __cdecl TlvMessage(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                                 TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return TlvAnswerNoThrow([&] {
        return g_module.Message({code, value1, value2, record, count, recordType, subValue, request, replyTag});
    });
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AfxDllEntry(instance, reason);
}

} // extern "C"
