#include "afxwin.h"

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName)
{
    AfxGetStaticModuleState()->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp()
{
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    if (state->m_pCurrentWinApp == this)
        state->m_pCurrentWinApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

BOOL AfxDllProcessAttach(HINSTANCE instance)
{
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    state->m_hCurrentInstanceHandle = instance;
    state->m_hCurrentResourceHandle = instance;
    AFX_MANAGE_STATE(state);
    CWinApp* app = state->m_pCurrentWinApp;
    return app ? app->InitInstance() : TRUE;
}

void AfxDllProcessDetach()
{
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    AFX_MANAGE_STATE(state);
    if (CWinApp* app = state->m_pCurrentWinApp)
        app->ExitInstance();
}

BOOL AfxDllEntry(HINSTANCE instance, DWORD reason)
{
    if (reason == DLL_PROCESS_ATTACH)
        return AfxDllProcessAttach(instance);
    if (reason == DLL_PROCESS_DETACH)
        AfxDllProcessDetach();
    return TRUE;
}
