// The agent's confirm and check dialogs over the real language library,
// pressed from a helper thread as a user would.
#include "app/TConfirmDownloadDlg.h"
#include "app/TUpdateCheckDlg.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {
constexpr DWORD kWaitMs = 20000;
// The id of a message box's text control.
constexpr int kBoxTextControl = 0xFFFF;

struct FoundDialog {
    HWND window = nullptr;
    bool topmost = false;
    std::wstring text;
};

// Waits on a thread of its own for a dialog of this process that holds the
// control `marker`, reads it, and posts the command `command` to it.
class DialogPresser {
public:
    DialogPresser(int marker, int command) : m_marker(marker), m_command(command)
    {
        m_thread = CreateThread(nullptr, 0, &DialogPresser::Run, this, 0, nullptr);
    }
    ~DialogPresser() { Result(); }
    const FoundDialog& Result()
    {
        if (m_thread) {
            WaitForSingleObject(m_thread, INFINITE);
            CloseHandle(m_thread);
            m_thread = nullptr;
        }
        return m_found;
    }

private:
    static BOOL CALLBACK Consider(HWND window, LPARAM self)
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
    static DWORD WINAPI Run(LPVOID self)
    {
        auto* presser = static_cast<DialogPresser*>(self);
        for (DWORD waited = 0; waited < kWaitMs && !presser->m_found.window; waited += 50) {
            EnumWindows(&DialogPresser::Consider, reinterpret_cast<LPARAM>(presser));
            if (!presser->m_found.window)
                Sleep(50);
        }
        if (presser->m_found.window)
            PostMessageW(presser->m_found.window, WM_COMMAND, MAKEWPARAM(presser->m_command, BN_CLICKED), 0);
        return 0;
    }

    int m_marker;
    int m_command;
    FoundDialog m_found;
    HANDLE m_thread = nullptr;
};

struct LanguageLibrary {
    LanguageLibrary() : module(LoadLibraryW(L"CorvaneLang.dll"))
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }
    ~LanguageLibrary() { FreeLibrary(module); }
    std::wstring Text(UINT id) const
    {
        wchar_t text[512] = {};
        LoadStringW(module, id, text, 512);
        return text;
    }
    std::string NarrowText(UINT id) const
    {
        char text[512] = {};
        LoadStringA(module, id, text, 512);
        return text;
    }
    HMODULE module;
};
}

TEST(TConfirmDownloadDlg, OkGoesOnAndCancelStops)
{
    LanguageLibrary library;
    ASSERT_NE(library.module, nullptr);
    const struct {
        int command;
        int endCode;
    } cases[] = {{IDOK, 0}, {IDCANCEL, 1}};
    for (const auto& c : cases) {
        TConfirmDownloadDlg dialog;
        dialog.Resource().SetInstance(library.module);
        DialogPresser presser(1042, c.command);
        EXPECT_EQ(dialog.DoModal(TConfirmDownloadDlg::kTemplateId, nullptr), c.endCode) << c.command;
        const FoundDialog& found = presser.Result();
        ASSERT_NE(found.window, nullptr);
        EXPECT_TRUE(found.topmost);
        EXPECT_EQ(found.text, library.Text(1083));
    }
}

TEST(TUpdateCheckDlg, ResultsPickTheirTexts)
{
    const struct {
        unsigned result;
        UINT text;
    } cases[] = {{0, 0}, {1, 1082}, {2, 1073}, {3, 1072}, {4, 1078}, {5, 1075}, {6, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(TUpdateCheckDlg::TextForResult(c.result), c.text) << c.result;
}

TEST(TUpdateCheckDlg, AnAddressThatCannotBeReadEndsWithItsBox)
{
    LanguageLibrary library;
    ASSERT_NE(library.module, nullptr);
    TUpdateCheckDlg dialog;
    dialog.Resource().SetInstance(library.module);
    dialog.SetAddresses(L"not an address", L"not an address either");
    // The dialog itself looks like a box to a general watcher: look for the
    // box's own text control instead.
    DialogPresser box(kBoxTextControl, IDOK);
    EXPECT_EQ(dialog.DoModal(TUpdateCheckDlg::kTemplateId, nullptr), 1);
    ASSERT_NE(box.Result().window, nullptr);
    EXPECT_EQ(box.Result().text, library.Text(1072));
}
