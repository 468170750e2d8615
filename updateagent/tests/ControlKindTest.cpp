// Control kinds over real child windows of the classes the agent's dialogs use.
#include "ui/ClassifyControl.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

namespace {
struct ParentWindow {
    ParentWindow()
        : window(CreateWindowExW(0, L"static", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr))
    {
    }
    ~ParentWindow() { DestroyWindow(window); }
    HWND window;
};
}

TEST(ClassifyControl, ByClassNameAndButtonStyle)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    ParentWindow parent;
    ASSERT_NE(nullptr, parent.window);

    const struct {
        const wchar_t* className;
        DWORD style;
        int kind;
    } cases[] = {
        {L"static", 0, 1},
        {L"STATIC", 0, 1},
        {L"edit", 0, 2},
        {L"button", BS_PUSHBUTTON, 3},
        {L"BuTtOn", BS_DEFPUSHBUTTON, 3},
        {L"button", BS_CHECKBOX, 3},
        {L"button", BS_AUTOCHECKBOX, 5},
        {L"button", BS_AUTORADIOBUTTON, 4},
        {L"button", BS_OWNERDRAW, 11},
        {L"button", BS_GROUPBOX, 5},
        {L"listbox", 0, 8},
        {L"combobox", 0, 9},
        {L"msctls_trackbar32", 0, 7},
        {L"msctls_updown32", 0, 13},
        {L"msctls_progress32", 0, 6},
        {L"scrollbar", 0, 0},
    };
    for (const auto& c : cases) {
        HWND child = CreateWindowExW(0, c.className, L"", WS_CHILD | c.style, 0, 0, 20, 20, parent.window, nullptr,
                                     nullptr, nullptr);
        ASSERT_NE(nullptr, child) << c.className;
        EXPECT_EQ(ClassifyControl(child), c.kind) << c.className << " " << c.style;
        DestroyWindow(child);
    }
    EXPECT_EQ(ClassifyControl(nullptr), -1);
}
