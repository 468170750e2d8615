// TlbQrf.dll: the application object, the entry point and the exports. Each
// export but CreateImage and DestroyImage works in the library's own module
// state (its resources and registry key helper) and gives the caller's back
// on return.
#include "chain/TlCadraFilterChain.h"
#include "control/TlPreviewChain.h"
#include "jobs/TlGlobalJobQueue.h"
#include "lib/TlHistograms.h"
#include "lib/TlLibraryStartup.h"
#include "lib/TlPluginInstall.h"
#include "lib/TlQrfLibApp.h"
#include "load/TlLiveObjects.h"
#include "export/TlExport.h"
#include "filters/dust/TlDustEngineFactory.h"
#include "filters/plugin/TlInstalledPlugins.h"
#include "settings/dust/TlDustEngineRegistry.h"
#include "qrfsave/TlQrfSave.h"
#include "save/TlSaveImage.h"
#include "saverequest/TlSaveJobQueue.h"

namespace {
CQrfLibApp theApp;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        return AfxDllProcessAttach(instance);
    case DLL_PROCESS_DETACH:
        AfxDllProcessDetach();
        break;
    default:
        break;
    }
    return TRUE;
}

unsigned long TlvQrfLib::InitializeQRFLib(IKelvraManager* manager)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    // The holders release what loads registered through the live-object
    // registries, from the first image on.
    InstallObjectRegistry();
    SetPreviewChainFactory(&CreateCadraFilterChain);
    // Image jobs save through a temporary file beside the target.
    InstallImageSave();
    // The save exports the developed image into its temporary file.
    InstallExport();
    // A settings save writes the edit settings into a copy of the raw file.
    InstallQrfSettingsSave();
    // Save requests queue their tasks on the library's one job queue.
    SetJobQueueFactory(&NewSaveJobQueue);
    // Plug-in records find installed plug-ins and make Windows hosts.
    InstallPluginServices();
    // The dust record analyses and restores dust maps with the library's engines.
    SetDustEngineFactory(GetLibraryDustEngines());
    return StartQrfLibrary(manager);
}

void TlvQrfLib::CloseQRFLib()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CloseQrfLibrary();
}

unsigned long TlvQrfLib::AddInstalledPlugin(const char* path, const char* name, const char* category, long id)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return CTlInstalledPlugins::Instance().Add(path, name, category, std::int32_t(id)) ? 0 : 0x1003;
}

unsigned long TlvQrfLib::CreateImage(IKelvraImage** image, long kind)
{
    return MakeManagerImage(image, kind);
}

void TlvQrfLib::DestroyImage(IKelvraImage* image)
{
    ReleaseManagerImage(image);
}

unsigned long TlvQrfLib::GetProfiles(TlvProfiles& profiles)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return ReadWorkingProfilePaths(profiles);
}

unsigned long TlvQrfLib::SetHistograms(CTlLutGroup* group, CKelvraFilterHistogram* histogram)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return CopyHistograms(group, histogram);
}
