// The window, dialog and control classes over a real dialog of this program.
#include "ui/Controls.h"
#include "ui/TDialog.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

namespace {
constexpr int kDialog = 3001;
constexpr int kStatic = 3101;
constexpr int kPush = 3102;
constexpr int kList = 3103;
constexpr int kProgress = 3104;
constexpr int kArrows = 3105;

LRESULT Count(TMsgContext&, void* counter)
{
    ++*static_cast<int*>(counter);
    return 0;
}

LRESULT CountAndEnd(TMsgContext&, void* counter)
{
    ++*static_cast<int*>(counter);
    return 1;
}

class TestDialog : public TDialog {
public:
    TestDialog()
    {
        Resource().SetInstance(GetModuleHandleW(nullptr));
        addedBeforeWindow = AddMessageHandler(0x83E9, {&first, Count});
    }
    int OnInitDialog() override
    {
        TDialog::OnInitDialog();
        addedFirst = AddMessageHandler(0x83E9, {&first, Count});
        addedSecond = AddMessageHandler(0x83E9, {&second, Count});
        AddCommandHandler(kPush, {&commands, Count});
        if (postOnInit)
            PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(postOnInit, BN_CLICKED), 0);
        return 1;
    }

    bool addedBeforeWindow = true;
    bool addedFirst = false;
    bool addedSecond = true;
    int first = 0;
    int second = 0;
    int commands = 0;
    int postOnInit = 0;
};

struct OpenDialog {
    OpenDialog()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&controls);
        created = dialog.CreateModeless(kDialog, nullptr);
    }
    ~OpenDialog() { DestroyWindow(dialog.Handle()); }
    TestDialog dialog;
    bool created = false;
};

// A control's own procedure that answers WM_COMMAND with a set value.
LRESULT g_commandAnswer = 0;
WNDPROC g_buttonProcedure = nullptr;
LRESULT CALLBACK AnsweringButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        return g_commandAnswer;
    return CallWindowProcW(g_buttonProcedure, window, message, wParam, lParam);
}

int g_paints = 0;
LRESULT CALLBACK CountingPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        ++g_paints;
        ValidateRect(window, nullptr);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

COLORREF BrushColour(LRESULT brush)
{
    LOGBRUSH info = {};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof info, &info);
    return info.lbColor;
}
}

TEST(TDialog, HandlersNeedTheWindowAndKeepTheFirstOfAKey)
{
    OpenDialog open;
    ASSERT_TRUE(open.created);
    EXPECT_FALSE(open.dialog.addedBeforeWindow);
    EXPECT_TRUE(open.dialog.addedFirst);
    EXPECT_FALSE(open.dialog.addedSecond);
    SendMessageW(open.dialog.Handle(), 0x83E9, 0, 0);
    EXPECT_EQ(open.dialog.first, 1);
    EXPECT_EQ(open.dialog.second, 0);
}

TEST(TDialog, ACommandItsControlAnswersNeverReachesTheMaps)
{
    OpenDialog open;
    ASSERT_TRUE(open.created);
    HWND button = open.dialog.GetDlgItem(kPush);
    g_buttonProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AnsweringButton)));
    const struct {
        LRESULT answer;
        int reached;
    } cases[] = {{1, 0}, {7, 0}, {0, 1}};
    for (const auto& c : cases) {
        g_commandAnswer = c.answer;
        open.dialog.commands = 0;
        SendMessageW(open.dialog.Handle(), WM_COMMAND, MAKEWPARAM(kPush, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        EXPECT_EQ(open.dialog.commands, c.reached) << c.answer;
    }
    SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_buttonProcedure));
}

TEST(TDialog, ACommandMissingFromTheMapIsLookedUpAsANotification)
{
    OpenDialog open;
    ASSERT_TRUE(open.created);
    int notified = 0;
    ASSERT_TRUE(open.dialog.AddNotifyHandler(BN_DOUBLECLICKED, kList, {&notified, Count}));
    SendMessageW(open.dialog.Handle(), WM_COMMAND, MAKEWPARAM(kList, BN_DOUBLECLICKED), 0);
    EXPECT_EQ(notified, 1);
    SendMessageW(open.dialog.Handle(), WM_COMMAND, MAKEWPARAM(kList, BN_CLICKED), 0);
    EXPECT_EQ(notified, 1);
}

TEST(TDialog, OkCancelAndCloseEndTheModalRun)
{
    const struct {
        int command;
        int endCode;
    } cases[] = {{IDOK, 1}, {IDCANCEL, 0}, {IDCLOSE, 0}};
    for (const auto& c : cases) {
        TestDialog dialog;
        dialog.postOnInit = c.command;
        EXPECT_EQ(dialog.DoModal(kDialog, nullptr), c.endCode) << c.command;
    }
    TestDialog missing;
    EXPECT_EQ(missing.DoModal(0, nullptr), -1);
}

TEST(TDialog, GetControlGivesOneWrapperPerControlAndNoneForAListBox)
{
    OpenDialog open;
    ASSERT_TRUE(open.created);
    TControl* first = open.dialog.GetControl(kStatic);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(open.dialog.GetControl(kStatic), first);
    EXPECT_NE(dynamic_cast<TStaticCtrl*>(first), nullptr);
    EXPECT_NE(dynamic_cast<TProgCtrl*>(open.dialog.GetControl(kProgress)), nullptr);
    EXPECT_EQ(open.dialog.GetControl(kList), nullptr);
    EXPECT_EQ(open.dialog.GetControl(4242), nullptr);
}

TEST(TStaticCtrl, AnswersStaticColoursWithItsBrush)
{
    OpenDialog open;
    ASSERT_TRUE(open.created);
    TControl* text = open.dialog.GetControl(kStatic);
    ASSERT_NE(text, nullptr);
    HDC dc = GetDC(text->Handle());
    const auto colours = [&] {
        return SendMessageW(open.dialog.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(text->Handle()));
    };
    const COLORREF red = RGB(200, 0, 0);
    text->SetBackColor(&red);
    const LRESULT brush = colours();
    ASSERT_NE(brush, 0);
    EXPECT_EQ(BrushColour(brush), red);

    text->SetBackColor(nullptr);
    const COLORREF blue = RGB(0, 0, 200);
    text->SetTextColor(&blue);
    EXPECT_EQ(colours(), reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    ReleaseDC(text->Handle(), dc);
}

TEST(TControl, TenPointsAt96DpiAskForHeightMinus13)
{
    OpenDialog open;
    ASSERT_TRUE(open.created);
    TControl* text = open.dialog.GetControl(kStatic);
    ASSERT_NE(text, nullptr);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi != 96)
        GTEST_SKIP() << "screen at " << dpi << " dpi";
    TFontInfo font;
    EXPECT_TRUE(text->SetFont(&font));
    LOGFONTW made = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(text->Handle(), WM_GETFONT, 0, 0)), sizeof made, &made);
    EXPECT_EQ(made.lfHeight, -13);
    EXPECT_EQ(made.lfWeight, FW_NORMAL);
}

TEST(TControl, AttachingAgainKeepsTheWrapperAndLeavesForeignValuesAlone)
{
    OpenDialog open;
    ASSERT_TRUE(open.created);
    HWND list = open.dialog.GetDlgItem(kList);
    int foreign = 0;
    SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&foreign));
    auto* wrapper = new TEditCtrl;
    ASSERT_TRUE(wrapper->Attach(list, false));
    ASSERT_TRUE(wrapper->Attach(list, false));
    EXPECT_EQ(TControl::BoundTo(list), wrapper);
    EXPECT_TRUE(wrapper->SetText(L"still here"));

    auto* successor = new TEditCtrl;
    ASSERT_TRUE(successor->Attach(list, false));
    EXPECT_EQ(TControl::BoundTo(list), successor);
    successor->Detach();
    successor->Release();
}

TEST(TProgCtrl, KeepsItsRangeAndPosition)
{
    OpenDialog open;
    ASSERT_TRUE(open.created);
    auto* progress = dynamic_cast<TProgCtrl*>(open.dialog.GetControl(kProgress));
    ASSERT_NE(progress, nullptr);
    progress->SetMinimum(0);
    progress->SetMaximum(10);
    progress->SetPos(3);
    progress->Step(4);
    EXPECT_EQ(progress->Position(), 7);
    EXPECT_EQ(SendMessageW(progress->Handle(), PBM_GETPOS, 0, 0), 7);
    EXPECT_EQ(SendMessageW(progress->Handle(), PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageW(progress->Handle(), PBM_GETRANGE, FALSE, 0), 10);
}

TEST(TArrowsCtrl, CountsUpOnANegativeDeltaWithinItsRange)
{
    OpenDialog open;
    ASSERT_TRUE(open.created);
    auto* arrows = dynamic_cast<TArrowsCtrl*>(open.dialog.GetControl(kArrows));
    ASSERT_NE(arrows, nullptr);
    arrows->SetStep(2);
    arrows->SetRange(0, 5);
    const struct {
        int delta;
        int value;
    } steps[] = {{-1, 2}, {-1, 4}, {-1, 5}, {1, 3}, {1, 1}, {1, 0}};
    for (const auto& s : steps) {
        NMUPDOWN change = {};
        change.hdr.hwndFrom = arrows->Handle();
        change.hdr.idFrom = kArrows;
        change.hdr.code = UDN_DELTAPOS;
        change.iDelta = s.delta;
        SendMessageW(open.dialog.Handle(), WM_NOTIFY, kArrows, reinterpret_cast<LPARAM>(&change));
        EXPECT_EQ(arrows->Value(), s.value);
    }
}

TEST(TWindow, AnUnhandledPaintReachesThePreviousProcedure)
{
    WNDCLASSW type = {};
    type.lpfnWndProc = CountingPaints;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"TlPaintCounter";
    RegisterClassW(&type);
    HWND window = CreateWindowExW(0, L"TlPaintCounter", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  type.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    TWindow wrapper;
    ASSERT_TRUE(wrapper.Attach(window, false));
    g_paints = 0;
    SendMessageW(window, WM_PAINT, 0, 0);
    EXPECT_EQ(g_paints, 1);

    int handled = 0;
    ASSERT_TRUE(wrapper.AddMessageHandler(kPaintKey, {&handled, CountAndEnd}));
    SendMessageW(window, WM_PAINT, 0, 0);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(g_paints, 1);
    wrapper.Detach();
    DestroyWindow(window);
}
