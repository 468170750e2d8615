// The update agent's language library: its texts, icon, addresses and the
// three dialogs the agent shows, with the controls it looks up.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

struct Library {
    Library() : module(LoadLibraryW(L"CorvaneLang.dll")) {}
    ~Library()
    {
        if (module)
            FreeLibrary(module);
    }
    HMODULE module;
};

std::wstring TextOf(HMODULE library, UINT id)
{
    wchar_t text[512] = {};
    const int length = LoadStringW(library, id, text, 512);
    return std::wstring(text, length > 0 ? length : 0);
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

} // namespace

TEST(AgentLanguageLibrary, HoldsEveryTextAndTheIcon)
{
    Library library;
    ASSERT_NE(nullptr, library.module);
    std::vector<UINT> ids = {1070};
    for (UINT id = 1072; id <= 1085; ++id)
        ids.push_back(id);
    for (UINT id : ids)
        EXPECT_FALSE(TextOf(library.module, id).empty()) << id;
    EXPECT_NE(nullptr, LoadIconA(library.module, MAKEINTRESOURCEA(1017)));
}

// The installer may come over http or https; its digest only over https.
TEST(AgentLanguageLibrary, AddressesHaveTheSchemesTheAgentAccepts)
{
    Library library;
    ASSERT_NE(nullptr, library.module);
    EXPECT_EQ(TextOf(library.module, 1084).compare(0, 8, L"https://"), 0);
    EXPECT_EQ(TextOf(library.module, 1085).compare(0, 8, L"https://"), 0);
}

TEST(AgentLanguageLibrary, DialogsHoldTheControlsTheAgentLooksUp)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    Library library;
    ASSERT_NE(nullptr, library.module);

    struct Case {
        int dialog;
        int text;
        int progress;
    } cases[] = {{1004, 1036, 1037}, {1005, 1040, 1039}, {1006, 1042, 0}};
    for (const Case& c : cases) {
        HWND dialog = CreateDialogParamW(library.module, MAKEINTRESOURCEW(c.dialog), nullptr, QuietDialog, 0);
        ASSERT_NE(nullptr, dialog) << c.dialog;
        EXPECT_EQ(ClassOf(GetDlgItem(dialog, c.text)), L"Static") << c.dialog;
        if (c.progress) {
            EXPECT_EQ(ClassOf(GetDlgItem(dialog, c.progress)), L"msctls_progress32") << c.dialog;
        }
        EXPECT_EQ(ClassOf(GetDlgItem(dialog, IDOK)), L"Button") << c.dialog;
        EXPECT_EQ(ClassOf(GetDlgItem(dialog, IDCANCEL)), L"Button") << c.dialog;
        // A control with IDCLOSE's id would end the agent's dialogs as "go on".
        EXPECT_EQ(nullptr, GetDlgItem(dialog, IDCLOSE)) << c.dialog;
        DestroyWindow(dialog);
    }
}
