// The dialog kit: layout metrics from the real dialog fonts, the living
// count with the library the kit keeps, and modal runs of a dialog laid out
// in code.
#include "dialog/TlDialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct Measured {
    int height = 0;
    int width = 0;
};

// Measured here on a screen DC, apart from the kit's own measuring.
Measured MeasureOnScreen(HFONT font)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return {int(metrics.tmHeight), int(metrics.tmAveCharWidth)};
}

HFONT MakeFont(int height, const char* face)
{
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

class DialogKit : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialogFont = MakeFont(-11, "MS Shell Dlg 2");
        secondFont = MakeFont(13, "MS Shell Dlg 2");
        ASSERT_NE(nullptr, dialogFont);
        ASSERT_NE(nullptr, secondFont);
        CCtrlParent::SetLayoutFonts(dialogFont, secondFont);
    }
    void TearDown() override
    {
        CCtrlParent::SetLayoutFonts(nullptr, nullptr);
        DeleteObject(dialogFont);
        DeleteObject(secondFont);
    }

    HFONT dialogFont = nullptr;
    HFONT secondFont = nullptr;
};

TEST_F(DialogKit, MetricsFollowTheMeasuredFonts)
{
    const Measured first = MeasureOnScreen(dialogFont);
    const Measured second = MeasureOnScreen(secondFont);
    ASSERT_GT(first.height, 0);
    ASSERT_GT(first.width, 0);
    const int h = first.height, w = first.width;
    const int child = 0x54000000;
    CTlDialog kit;
    const struct {
        const char* name;
        int answer;
        int expected;
    } cases[] = {
        {"h", kit.GetFontHeight(), h},
        {"w", kit.GetFontWidth(), w},
        {"h2", kit.GetSecondFontHeight(), second.height},
        {"w2", kit.GetSecondFontWidth(), second.width},
        {"edit height", kit.GetEditHeight(), h + 4},
        {"combo height", kit.GetComboHeight(), h + 4},
        {"button height", kit.GetButtonHeight(), h * 14 / 8},
        {"list of 0 lines", kit.GetListHeight(0), h * 14 / 8},
        {"list of 3 lines", kit.GetListHeight(3), h * 14 / 8 * 4},
        {"check height", kit.GetCheckHeight(), h * 14 / 8},
        {"at least 20 of 7", kit.GetAtLeastMinimum(7), 20},
        {"at least 20 of 33", kit.GetAtLeastMinimum(33), 33},
        {"margin", kit.GetMargin(), 12},
        {"label width", kit.GetLabelWidth(), 35},
        {"row step", kit.GetRowStep(), 24},
        {"column step", kit.GetColumnStep(), 24},
        {"group step", kit.GetGroupStep(), 24},
        {"list extra", kit.GetListExtraWidth(), 2 * w + 12 + GetSystemMetrics(SM_CXVSCROLL)},
        {"gap", kit.GetGap(), 8},
        {"small gap", kit.GetSmallGap(), 6},
        {"line spacing", kit.GetLineSpacing(), h * 3 / 8},
        {"paragraph spacing", kit.GetParagraphSpacing(), h * 3 / 8},
        {"indent", kit.GetIndent(), w},
        {"check indent", kit.GetCheckIndent(), w},
        {"label offset", kit.GetLabelOffset(), h * 7 / 8},
        {"edit offset", kit.GetEditOffset(), h * 7 / 8},
        {"check offset", kit.GetCheckOffset(), h * 7 / 8},
        {"button offset", kit.GetButtonOffset(), h * 7 / 8},
        {"child", kit.GetChildStyle(), child},
        {"edit", kit.GetEditStyle(), child | 0x30080},
        {"check box", kit.GetCheckBoxStyle(), child | 0x30003},
        {"radio", kit.GetRadioStyle(), child | 0x10009},
        {"label", kit.GetLabelStyle(), child | 0x2028C},
        {"static", kit.GetStaticStyle(), child | 0x20080},
        {"centred", kit.GetCentredStyle(), child | 0x20281},
        {"right", kit.GetRightStyle(), child | 0x20282},
        {"push button", kit.GetPushButtonStyle(), child | 0x30000},
        {"default button", kit.GetDefaultButtonStyle(), child | 0x30000},
        {"list box", kit.GetListBoxStyle(), child | 0x230101},
        {"drop-down", kit.GetDropDownStyle(), child | 0x230003},
        {"drop-down list", kit.GetDropDownListStyle(), child | 0x230003},
        {"group", kit.GetGroupStyle(), child | 0x30000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, c.answer) << c.name;
    EXPECT_EQ(dialogFont, CCtrlParent::GetDialogFont());
    EXPECT_EQ(secondFont, CCtrlParent::GetSecondFont());
}

TEST_F(DialogKit, TheKeptLibraryIsFreedWithTheLastLivingObject)
{
    const long before = CCtrlParent::GetLivingCount();
    ASSERT_EQ(0, before);
    HMODULE library = LoadLibraryA("TlvPDALang.dll");
    ASSERT_NE(nullptr, library);
    {
        CTlDialog first;
        {
            CTlDialog second;
            EXPECT_EQ(2, CCtrlParent::GetLivingCount());
            CCtrlParent::KeepLibrary(library);
        }
        EXPECT_EQ(1, CCtrlParent::GetLivingCount());
        EXPECT_EQ(library, GetModuleHandleA("TlvPDALang.dll"));
    }
    EXPECT_EQ(0, CCtrlParent::GetLivingCount());
    EXPECT_EQ(nullptr, GetModuleHandleA("TlvPDALang.dll"));
}

// A dialog whose run the test ends from inside, as the user would.
class EndedDialog : public CTlDialog {
public:
    using CTlDialog::CTlDialog;
    std::function<void(CTlDialog&)> atStart;
    DWORD style = 0;
    RECT place{};
    HWND owner = nullptr;

protected:
    BOOL OnInitDialog() override
    {
        style = DWORD(GetWindowLongA(m_hWnd, GWL_STYLE));
        GetWindowRect(&place);
        owner = GetWindow(m_hWnd, GW_OWNER);
        if (atStart)
            atStart(*this);
        return TRUE;
    }
};

TEST_F(DialogKit, AModalRunFromTheTemplateIsEndedByTheTest)
{
    const struct {
        int clicked;
        INT_PTR result;
    } cases[] = {{IDOK, IDOK}, {IDCANCEL, IDCANCEL}};
    for (const auto& c : cases) {
        EndedDialog dialog;
        dialog.atStart = [&](CTlDialog& run) { PostMessageA(run.m_hWnd, WM_COMMAND, c.clicked, 0); };
        EXPECT_EQ(c.result, dialog.DoModal());
        EXPECT_EQ(CTlDialog::kTemplateStyle, dialog.style & CTlDialog::kTemplateStyle);
        EXPECT_EQ(0u, dialog.style & WS_VISIBLE);
    }
    EndedDialog valued;
    valued.atStart = [](CTlDialog& run) { EndDialog(run.m_hWnd, 1234); };
    EXPECT_EQ(1234, valued.DoModal());
}

TEST_F(DialogKit, WithoutAnOwnerTheMainWindowOwnsTheDialog)
{
    CWinApp app;
    CWnd mainWindow;
    mainWindow.m_hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, mainWindow.m_hWnd);
    CWnd otherOwner;
    otherOwner.m_hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    app.m_pMainWnd = &mainWindow;
    const auto end = [](CTlDialog& run) { PostMessageA(run.m_hWnd, WM_COMMAND, IDOK, 0); };

    EndedDialog withoutOwner;
    withoutOwner.atStart = end;
    EXPECT_EQ(IDOK, withoutOwner.DoModal());
    EXPECT_EQ(mainWindow.m_hWnd, withoutOwner.owner);
    EndedDialog owned(&otherOwner);
    owned.atStart = end;
    EXPECT_EQ(IDOK, owned.DoModal());
    EXPECT_EQ(otherOwner.m_hWnd, owned.owner);
    app.m_pMainWnd = nullptr;
}

TEST_F(DialogKit, AFailedRunAnswersCancel)
{
    // An owner whose window is gone: the dialog cannot be made.
    CWnd gone;
    gone.m_hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, gone.m_hWnd);
    DestroyWindow(gone.m_hWnd);
    EndedDialog dialog(&gone);
    bool started = false;
    dialog.atStart = [&](CTlDialog&) { started = true; };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_FALSE(started);
    gone.m_hWnd = nullptr;
}

} // namespace
