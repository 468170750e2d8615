// Dialogs over real Win32 windows: modal runs from an in-memory template,
// modeless dialogs from a template or the module's resources, and the
// dialog object receiving its window's messages.
#include "afxwin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr UINT kResourceDialog = 100;
constexpr int kApplyButton = 1001;

// A template of a pop-up with a caption and no controls; the words must
// stay put while a dialog is made from them.
struct alignas(4) EmptyTemplate {
    DLGTEMPLATE header{WS_POPUP | WS_CAPTION, 0, 0, 10, 10, 100, 50};
    WORD menu = 0, windowClass = 0, title = 0;
};

class RecordingDialog : public CDialog {
public:
    using CDialog::CDialog;
    std::vector<UINT> seen;
    int initialised = 0, oks = 0, cancels = 0, applies = 0;
    // The value the dialog ends with from OnInitDialog; none when 0.
    int endAtStart = 0;

protected:
    BOOL OnInitDialog() override
    {
        ++initialised;
        if (endAtStart != 0)
            EndDialog(endAtStart);
        return TRUE;
    }
    void OnOK() override
    {
        ++oks;
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        ++cancels;
        CDialog::OnCancel();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == kApplyButton) {
            ++applies;
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        seen.push_back(message);
        if (message == WM_USER + 7) {
            *result = 42;
            return TRUE;
        }
        return CDialog::OnWndMsg(message, wParam, lParam, result);
    }
};

// Ends the modal dialog from inside its run, as a user's click would.
class ClickingDialog : public RecordingDialog {
protected:
    BOOL OnInitDialog() override
    {
        RecordingDialog::OnInitDialog();
        PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(clicked, BN_CLICKED), 0);
        return TRUE;
    }

public:
    int clicked = IDOK;
};

TEST(MfcDialog, AModalRunFromAnInMemoryTemplateEndsWithTheChosenValue)
{
    const EmptyTemplate words;
    struct Case {
        int clicked;
        INT_PTR result;
        int oks, cancels;
    } const cases[] = {{IDOK, IDOK, 1, 0}, {IDCANCEL, IDCANCEL, 0, 1}};
    for (const Case& c : cases) {
        ClickingDialog dialog;
        dialog.clicked = c.clicked;
        ASSERT_TRUE(dialog.InitModalIndirect(&words.header));
        EXPECT_EQ(c.result, dialog.DoModal());
        EXPECT_EQ(1, dialog.initialised);
        EXPECT_EQ(c.oks, dialog.oks);
        EXPECT_EQ(c.cancels, dialog.cancels);
        EXPECT_EQ(nullptr, dialog.m_hWnd); // the window is gone with the run
    }
}

TEST(MfcDialog, AModalRunWithoutATemplateFails)
{
    RecordingDialog dialog;
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_FALSE(dialog.InitModalIndirect(nullptr));
    EXPECT_EQ(0, dialog.initialised);
}

TEST(MfcDialog, AModalRunFromTheModulesResource)
{
    RecordingDialog dialog(kResourceDialog);
    dialog.endAtStart = 77;
    EXPECT_EQ(77, dialog.DoModal());
}

TEST(MfcDialog, AModelessDialogReceivesItsWindowsMessages)
{
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.Create(kResourceDialog));
    ASSERT_NE(nullptr, dialog.m_hWnd);
    EXPECT_EQ(&dialog, CWnd::FromHandlePermanent(dialog.m_hWnd));
    EXPECT_EQ(1, dialog.initialised);
    EXPECT_FALSE(dialog.IsWindowVisible());

    HWND apply = dialog.GetDlgItem(kApplyButton);
    ASSERT_NE(nullptr, apply);
    char caption[16] = {};
    GetWindowTextA(apply, caption, sizeof caption);
    EXPECT_STREQ("Apply", caption);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(kApplyButton, BN_CLICKED), reinterpret_cast<LPARAM>(apply));
    EXPECT_EQ(1, dialog.applies);
    EXPECT_EQ(42, dialog.SendMessage(WM_USER + 7));

    // A modeless OK hides the window and keeps it.
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(1, dialog.oks);
    EXPECT_FALSE(dialog.IsWindowVisible());
    ASSERT_TRUE(IsWindow(dialog.m_hWnd));

    HWND window = dialog.m_hWnd;
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(window));
    EXPECT_NE(dialog.seen.end(), std::find(dialog.seen.begin(), dialog.seen.end(), UINT(WM_DESTROY)));
}

TEST(MfcDialog, AModelessDialogFromATemplateGoesWithItsObject)
{
    const EmptyTemplate words;
    HWND window = nullptr;
    {
        RecordingDialog dialog;
        ASSERT_TRUE(dialog.CreateIndirect(&words.header));
        window = dialog.m_hWnd;
        ASSERT_TRUE(IsWindow(window));
        RECT client{};
        dialog.GetClientRect(&client);
        EXPECT_GT(client.right, 0);
    }
    EXPECT_FALSE(IsWindow(window));
    RecordingDialog none;
    EXPECT_FALSE(none.CreateIndirect(nullptr));
    EXPECT_FALSE(none.Create(4242)); // no such resource
}

} // namespace
