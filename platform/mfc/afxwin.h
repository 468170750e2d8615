// The thin application framework the modules are written against: the
// application object, the module-state switch and string loading from the
// module's own resources, over plain Win32.
#pragma once

#include <windows.h>

#include <string>

class CWinApp;
class CWnd;

// Per-module framework state. Every module (DLL or program) that links this
// layer has its own static state; the current state tells which module's
// resources the framework uses on this thread.
struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    CWinApp* m_pCurrentWinApp = nullptr;
};

// This module's own state; its handles name the module that linked this layer.
AFX_MODULE_STATE* AfxGetStaticModuleState();
// The state in force on the calling thread (this module's own until switched).
AFX_MODULE_STATE* AfxGetModuleState();
// Makes the given state current on the calling thread; returns the previous one.
AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state);

// Switches to a module state for the life of the object and restores the
// previous one on every return path.
class AFX_MAINTAIN_STATE2 {
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state);
    ~AFX_MAINTAIN_STATE2();
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_previous;
};

#define AFX_MANAGE_STATE(state) AFX_MAINTAIN_STATE2 afxManagedState_(state)

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resources);
CWinApp* AfxGetApp();

// Loads string `id` from the current resource module. False (and `text`
// emptied) when the table has no such string.
bool AfxLoadString(UINT id, std::string& text);
// The same, answering the text; empty when the string is missing.
std::string AfxLoadString(UINT id);
// Loads string `id` from the given module (a language library loaded as a
// data file, say). False (and `text` emptied) when it has no such string.
bool AfxLoadString(HINSTANCE module, UINT id, std::string& text);

// Loads a library (a plug-in, a module) and frees it again. A library named
// by a path finds the libraries it links beside itself.
HINSTANCE AfxLoadLibrary(const char* fileName);
BOOL AfxFreeLibrary(HINSTANCE library);

// The application object: one per module, constructed statically. A DLL's
// entry point hands its process attach and detach to AfxDllProcessAttach and
// AfxDllProcessDetach, which run InitInstance and ExitInstance.
class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    const char* m_pszAppName;
    // The application's main window, when it has one (not owned).
    CWnd* m_pMainWnd = nullptr;
};

// Runs the module's application object start-up; FALSE when InitInstance fails.
BOOL AfxDllProcessAttach(HINSTANCE instance);
void AfxDllProcessDetach();
// The framework's part of a DLL's entry point: the attach above at process
// attach, the detach at process detach, TRUE for the other reasons.
BOOL AfxDllEntry(HINSTANCE instance, DWORD reason);

#include "afxwnd.h"
