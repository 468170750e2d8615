#include "lib/TlQrfLibApp.h"

#include "params/TlvParamSetMaker.h"
#include "res/TlbQrfResource.h"

CQrfLibApp::CQrfLibApp() : CWinApp("TlbQrf") {}

BOOL CQrfLibApp::InitInstance()
{
    m_registry.SetKeyParts(AfxLoadString(IDS_REGISTRY_MAKER).c_str(), AfxLoadString(IDS_REGISTRY_MODULE).c_str(),
                           AfxLoadString(IDS_REGISTRY_VERSION).c_str(), AfxLoadString(IDS_REGISTRY_COMMON).c_str());
    // Settings holders make their parameter sets through the core.
    InstallParamSetMaker();
    CWinApp::InitInstance();
    return TRUE;
}
