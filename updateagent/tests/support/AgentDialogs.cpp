#include "support/AgentDialogs.h"

#include <commctrl.h>

DialogPresser::DialogPresser(int marker, int command) : m_marker(marker), m_command(command)
{
    m_thread = CreateThread(nullptr, 0, &DialogPresser::Run, this, 0, nullptr);
}

DialogPresser::~DialogPresser()
{
    Result();
}

const FoundDialog& DialogPresser::Result()
{
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    return m_found;
}

BOOL CALLBACK DialogPresser::Consider(HWND window, LPARAM self)
{
    auto* presser = reinterpret_cast<DialogPresser*>(self);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    HWND marker = GetDlgItem(window, presser->m_marker);
    if (process != GetCurrentProcessId() || !marker || !IsWindowVisible(window))
        return TRUE;
    presser->m_found.window = window;
    presser->m_found.topmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    wchar_t text[512] = {};
    GetWindowTextW(marker, text, 512);
    presser->m_found.text = text;
    return FALSE;
}

DWORD WINAPI DialogPresser::Run(LPVOID self)
{
    auto* presser = static_cast<DialogPresser*>(self);
    for (DWORD waited = 0; waited < kDialogWaitMs && !presser->m_found.window; waited += 50) {
        EnumWindows(&DialogPresser::Consider, reinterpret_cast<LPARAM>(presser));
        if (!presser->m_found.window)
            Sleep(50);
    }
    if (presser->m_found.window)
        PostMessageW(presser->m_found.window, WM_COMMAND, MAKEWPARAM(presser->m_command, BN_CLICKED), 0);
    return 0;
}

LanguageLibrary::LanguageLibrary() : module(LoadLibraryW(L"CorvaneLang.dll"))
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
}

LanguageLibrary::~LanguageLibrary()
{
    if (module)
        FreeLibrary(module);
}

std::wstring LanguageLibrary::Text(UINT id) const
{
    wchar_t text[512] = {};
    LoadStringW(module, id, text, 512);
    return text;
}
