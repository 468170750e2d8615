// The settings dialog's own controls: the numeric edit's limit and
// validity, the slider's arrows, position and shared arrow pictures, the
// bitmap button's picture offsets and the text button's hover look.
#include "TlRawBitmapButton.h"
#include "TlRawNumericEdit.h"
#include "TlRawSlider.h"
#include "TlRawTextButton.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct ScrollNotice {
    UINT message;
    WPARAM wParam;
    HWND source;
};

std::vector<ScrollNotice> g_scrolls;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        g_scrolls.push_back({message, wParam, reinterpret_cast<HWND>(lParam)});
        return 0;
    case WM_DRAWITEM:
        if (TlRawDrawOwnControl(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A visible top-level window that hands owner drawing to our controls and
// records the scroll notifications it gets.
class ParentWindow {
public:
    ParentWindow()
    {
        static const ATOM atom = [] {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = ParentProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
            windowClass.lpszClassName = L"TlRawControlsTestParent";
            return RegisterClassW(&windowClass);
        }();
        EXPECT_NE(atom, 0);
        // Shown without taking activation, which would wait on whatever
        // window of another program is active.
        m_window = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, L"TlRawControlsTestParent", L"", WS_POPUP,
                                   100, 100, 400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(m_window, SW_SHOWNOACTIVATE);
        g_scrolls.clear();
    }
    ~ParentWindow() { DestroyWindow(m_window); }
    HWND Window() const { return m_window; }

private:
    HWND m_window;
};

// Runs the waiting messages; a bounded count, so that a stream of input
// from elsewhere cannot keep a test here.
void Pump()
{
    MSG message;
    for (int count = 0; count < 500 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++count) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Type(HWND edit, const std::string& text)
{
    for (char c : text)
        SendMessageW(edit, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
}

TEST(RawNumericEdit, TextLimitFollowsTheRangeAndDecimals)
{
    struct Case {
        double minimum, maximum;
        int decimals, limit;
    } const cases[] = {
        {-2.0, 2.0, 2, 5},     // "-2.00"
        {0.0, 600.0, 0, 5},    // three digits, sign and point
        {-100.0, 5.0, 1, 6},   // the minimum's digits are the larger
        {-9.5, 99.9, 3, 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TlRawNumericTextLimit(c.minimum, c.maximum, c.decimals), c.limit)
            << c.minimum << " to " << c.maximum << " with " << c.decimals;
}

TEST(RawNumericEdit, ValidityTakesSeparatorsOnlyWhenAllowed)
{
    TlRawNumberFormat comma;
    comma.decimal = ",";
    comma.thousand = "'";
    TlRawNumberFormat dot;
    struct Case {
        const char* text;
        bool separators;
        const TlRawNumberFormat* format;
        bool valid;
    } const cases[] = {
        {"-2.00", true, &dot, true},   {"-2.00", false, &dot, false}, {"+12", false, &dot, true},
        {"1,000.5", true, &dot, true}, {"1'000,5", true, &comma, true}, {"1.5", true, &comma, false},
        {"abc", true, &dot, false},    {"1e5", true, &dot, false},     {"", false, &dot, true},
        {"2 ", true, &dot, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TlRawNumericTextValid(c.text, c.separators, *c.format), c.valid) << '"' << c.text << '"';
}

TEST(RawNumericEdit, TypingStopsAtTheLimitAndRefusesLetters)
{
    ParentWindow parent;
    CTlRawNumericEdit edit;
    ASSERT_TRUE(edit.Create({10, 10, 80, 30}, parent.Window(), 3115));
    edit.SetRange(-2.0, 2.0, 2, true);
    EXPECT_EQ(edit.Mode(), CTlRawNumericEdit::kRange);
    EXPECT_EQ(SendMessageW(edit.Window(), EM_GETLIMITTEXT, 0, 0), 5);

    // The user's own decimal separator, whatever the machine's settings.
    const std::string point = TlRawProcessNumberFormat().decimal.substr(0, 1);
    Type(edit.Window(), "-1x" + point + "2a55");
    EXPECT_EQ(edit.Text(), "-1" + point + "25");
    EXPECT_DOUBLE_EQ(edit.Value(), -1.25);

    edit.SetText("+1" + point + "00");
    EXPECT_DOUBLE_EQ(edit.Value(), 1.0);

    edit.SetRange(1.0, 1.0, 2, true);
    EXPECT_EQ(edit.Mode(), CTlRawNumericEdit::kNoRange);
}

TEST(RawNumericEdit, ColoursFollowTheEnabledState)
{
    ParentWindow parent;
    CTlRawNumericEdit edit;
    ASSERT_TRUE(edit.Create({10, 10, 80, 30}, parent.Window(), 3115));
    HDC dc = GetDC(edit.Window());
    EXPECT_EQ(edit.Colours(dc), GetSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
    EnableWindow(edit.Window(), FALSE);
    EXPECT_EQ(edit.Colours(dc), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_GRAYTEXT));
    ReleaseDC(edit.Window(), dc);
}

// A slider as the settings dialog sets it up.
void SetUpExposureSlider(CTlRawSlider& slider, HWND parent)
{
    ASSERT_TRUE(slider.Create(TBS_HORZ | TBS_NOTICKS, {10, 10, 250, 40}, parent, 3105));
    slider.SetRange(0, 600);
    slider.SetLineSize(50);
    slider.SetPageSize(50);
}

TEST(RawSlider, SettingThePositionTellsTheParentOnceWithoutMovingFurther)
{
    ParentWindow parent;
    CTlRawSlider slider;
    SetUpExposureSlider(slider, parent.Window());
    g_scrolls.clear();

    slider.SetPosition(300);
    EXPECT_EQ(slider.Position(), 300);
    ASSERT_EQ(g_scrolls.size(), 1u);
    EXPECT_EQ(g_scrolls[0].message, UINT(WM_HSCROLL));
    EXPECT_EQ(g_scrolls[0].source, slider.Window());
    EXPECT_EQ(HIWORD(g_scrolls[0].wParam), 300);
}

TEST(RawSlider, ArrowClicksMoveOneLineAndNotifyFromTheSlider)
{
    ParentWindow parent;
    CTlRawSlider slider;
    SetUpExposureSlider(slider, parent.Window());
    slider.SetPosition(300);

    struct Step {
        int arrow, expected;
    } const steps[] = {{CTlRawSlider::kRightArrowId, 350}, {CTlRawSlider::kLeftArrowId, 300},
                       {CTlRawSlider::kLeftArrowId, 250}};
    for (const Step& step : steps) {
        g_scrolls.clear();
        // The arrow's click as the button reports it; a real click would
        // take the focus and activate the test's window.
        SendMessageW(slider.Window(), WM_COMMAND, MAKEWPARAM(step.arrow, BN_CLICKED),
                     reinterpret_cast<LPARAM>(slider.Arrow(step.arrow)));
        Pump();
        EXPECT_EQ(slider.Position(), step.expected);
        ASSERT_FALSE(g_scrolls.empty());
        for (const ScrollNotice& notice : g_scrolls) {
            EXPECT_EQ(notice.message, UINT(WM_HSCROLL));
            EXPECT_EQ(notice.source, slider.Window());
        }
    }
}

TEST(RawSlider, ArrowsSitAtTheEndsAroundTheTrackbar)
{
    ParentWindow parent;
    CTlRawSlider slider;
    SetUpExposureSlider(slider, parent.Window());
    RECT left = {}, right = {}, track = {};
    GetWindowRect(slider.Arrow(CTlRawSlider::kLeftArrowId), &left);
    GetWindowRect(slider.Arrow(CTlRawSlider::kRightArrowId), &right);
    GetWindowRect(slider.Trackbar(), &track);
    RECT outer = {};
    GetWindowRect(slider.Window(), &outer);
    EXPECT_EQ(left.left, outer.left);
    EXPECT_EQ(right.right, outer.right);
    EXPECT_EQ(track.left, left.right);
    EXPECT_EQ(track.right, right.left);
    EXPECT_EQ((left.top - outer.top) - (outer.bottom - left.bottom), 0);
    EXPECT_EQ(GetDlgCtrlID(slider.Arrow(CTlRawSlider::kRightArrowId)), 3114);
    EXPECT_TRUE(GetWindowLongW(slider.Trackbar(), GWL_STYLE) & WS_GROUP);
}

TEST(RawSlider, SlidersOfOneBackgroundShareTheirArrows)
{
    const COLORREF background = RGB(227, 229, 240);
    const COLORREF other = RGB(1, 2, 3);
    ParentWindow parent;
    {
        CTlRawSlider first;
        CTlRawSlider second;
        SetUpExposureSlider(first, parent.Window());
        SetUpExposureSlider(second, parent.Window());
        first.SetBackground(background);
        second.SetBackground(background);
        ASSERT_NE(first.Arrows(), nullptr);
        EXPECT_EQ(first.Arrows(), second.Arrows());
        EXPECT_EQ(TlRawArrowUsers(background), 2);

        second.SetBackground(other);
        EXPECT_NE(first.Arrows(), second.Arrows());
        EXPECT_EQ(TlRawArrowUsers(background), 1);
        EXPECT_EQ(TlRawArrowUsers(other), 1);

        // The artwork's background takes the slider's colour.
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, first.Arrows()->cells[0][kTlArrowNormal]);
        EXPECT_EQ(GetPixel(dc, 0, 0), background);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    EXPECT_EQ(TlRawArrowUsers(background), 0);
    EXPECT_EQ(TlRawArrowUsers(other), 0);
}

// A 2 x (20 by 20) bitmap: the mask is white but for a black 3-pixel
// square at its origin, the picture black but for a red one.
HBITMAP SquareBitmap()
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 20);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT mask = {0, 0, 20, 20}, maskSquare = {0, 0, 3, 3};
    const RECT picture = {20, 0, 40, 20}, pictureSquare = {20, 0, 23, 3};
    FillRect(dc, &mask, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillRect(dc, &maskSquare, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    FillRect(dc, &picture, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &pictureSquare, red);
    DeleteObject(red);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

TEST(RawBitmapButton, PictureSitsFourPixelsInAndFiveWhilePressed)
{
    ParentWindow parent;
    CTlRawBitmapButton button;
    ASSERT_TRUE(button.Create(SquareBitmap(), {30, 20, 0, 0}, parent.Window(), 3100));
    RECT size = {};
    GetClientRect(button.Window(), &size);
    EXPECT_EQ(size.right, 20);
    EXPECT_EQ(size.bottom, 20);

    const COLORREF red = RGB(255, 0, 0);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    struct Case {
        UINT state;
        int x;
        COLORREF expected;
    } const cases[] = {
        {0, 3, face},  {0, 4, red},  {0, 6, red},  {0, 7, face},
        {ODS_SELECTED, 4, face}, {ODS_SELECTED, 5, red}, {ODS_SELECTED, 7, red}, {ODS_SELECTED, 8, face},
        {ODS_DISABLED, 4, grey}, {ODS_DISABLED, 7, face},
    };
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 20, 20);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target);
    for (const Case& c : cases) {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.hwndItem = button.Window();
        item.hDC = dc;
        item.rcItem = {0, 0, 20, 20};
        item.itemState = c.state;
        button.Draw(item);
        EXPECT_EQ(GetPixel(dc, c.x, c.x), c.expected) << "state " << c.state << " at " << c.x;
    }
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
}

TEST(RawBitmapButton, DialogBitmapsGiveSquareButtonsWithAPicture)
{
    ParentWindow parent;
    for (unsigned id : {3203u, 3204u, 3205u, 3206u}) {
        CTlRawBitmapButton button;
        ASSERT_TRUE(button.Create(id, {30, 20, 0, 0}, parent.Window(), 3100)) << id;
        RECT size = {};
        GetClientRect(button.Window(), &size);
        EXPECT_EQ(size.right, 28) << id;
        EXPECT_EQ(size.bottom, 28) << id;

        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP target = CreateCompatibleBitmap(screen, 28, 28);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, target);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.hwndItem = button.Window();
        item.hDC = dc;
        item.rcItem = {0, 0, 28, 28};
        button.Draw(item);
        int drawn = 0;
        for (int y = 4; y < 24; ++y)
            for (int x = 4; x < 24; ++x)
                drawn += GetPixel(dc, x, y) != GetSysColor(COLOR_BTNFACE);
        EXPECT_GT(drawn, 10) << id;
        SelectObject(dc, old);
        DeleteObject(target);
        DeleteDC(dc);
    }
}

TEST(RawBitmapButton, PreviewCursorsLoad)
{
    for (unsigned id : {3300u, 3301u, 3302u, 3303u})
        EXPECT_NE(LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)), nullptr) << id;
}

// Moves the pointer with SendInput and lets the messages run until the
// button's hover flag is `wanted` or the pointer's messages are spent.
bool HoverBecomes(const CTlRawTextButton& button, POINT point, bool wanted)
{
    const int width = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int height = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = point.x * 65535 / width;
    input.mi.dy = point.y * 65535 / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
    for (int round = 0; round < 100 && button.Hovered() != wanted; ++round) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Pump();
    }
    return button.Hovered() == wanted;
}

TEST(RawTextButton, HoverLookFollowsThePointer)
{
    ParentWindow parent;
    CTlRawTextButton button;
    ASSERT_TRUE(button.Create(L"Aceptar", 0, {20, 20, 120, 40}, parent.Window(), IDOK));
    Pump();
    RECT rect = {};
    GetWindowRect(button.Window(), &rect);
    EXPECT_FALSE(button.Hovered());
    EXPECT_TRUE(HoverBecomes(button, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, true));
    EXPECT_TRUE(HoverBecomes(button, {rect.right + 50, rect.bottom + 50}, false));
}

} // namespace
