// The panorama plug-in TlvPanorama.tv7: the entry object of the module
// interface over the launcher task.
#include "PanoramaLauncher.h"

#include "afxwin.h"
#include "module/TlvPluginExports.h"

namespace {

class CPanoramaApp : public CWinApp {
public:
    CPanoramaApp() : CWinApp("Panorama") {}
};

CPanoramaApp theApp;

} // namespace

// Module type 38, flags word 0.
const TlvPluginIdentity g_tlvPluginIdentity = {38, 0, "Panorama"};

CTlvPluginEntry* TlvNewPluginEntry() noexcept
{
    return new (std::nothrow) CTlvPluginTemplate<PanoramaLauncher>;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AfxDllEntry(instance, reason);
}
