#include "afxwin.h"

namespace {

HINSTANCE ModuleOfThisCode()
{
    static const char anchor = 0;
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       &anchor, &module);
    return module;
}

thread_local AFX_MODULE_STATE* t_currentState = nullptr;

} // namespace

AFX_MODULE_STATE* AfxGetStaticModuleState()
{
    static AFX_MODULE_STATE state = [] {
        AFX_MODULE_STATE s;
        s.m_hCurrentInstanceHandle = ModuleOfThisCode();
        s.m_hCurrentResourceHandle = s.m_hCurrentInstanceHandle;
        return s;
    }();
    return &state;
}

AFX_MODULE_STATE* AfxGetModuleState()
{
    return t_currentState ? t_currentState : AfxGetStaticModuleState();
}

AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state)
{
    AFX_MODULE_STATE* previous = AfxGetModuleState();
    t_currentState = state;
    return previous;
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state) : m_previous(AfxSetModuleState(state)) {}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2()
{
    AfxSetModuleState(m_previous);
}

HINSTANCE AfxGetInstanceHandle()
{
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

void AfxSetResourceHandle(HINSTANCE resources)
{
    AfxGetModuleState()->m_hCurrentResourceHandle = resources;
}

CWinApp* AfxGetApp()
{
    return AfxGetModuleState()->m_pCurrentWinApp;
}
