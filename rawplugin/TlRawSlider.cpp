#include "TlRawSlider.h"

#include "TlRawPluginHost.h"

#include <commctrl.h>

namespace {

const wchar_t kSliderClass[] = L"TlSlider";

// Registers the class with this module's procedure; a class left behind by
// an earlier load of the plug-in at another address is replaced.
bool RegisterSliderClass(WNDPROC proc)
{
    HMODULE module = TlRawOwnModule();
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(module, kSliderClass, &existing)) {
        if (existing.lpfnWndProc == proc)
            return true;
        UnregisterClassW(kSliderClass, module);
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kSliderClass;
    return RegisterClassExW(&windowClass) != 0;
}

HWND MakeChild(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width, int height,
               HWND parent, int id)
{
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), TlRawOwnModule(), nullptr);
}

} // namespace

CTlRawSlider::~CTlRawSlider()
{
    if (m_window && IsWindow(m_window))
        DestroyWindow(m_window);
    Release();
}

bool CTlRawSlider::Create(DWORD style, const RECT& rect, HWND parent, int id)
{
    if (m_window || !RegisterSliderClass(&CTlRawSlider::Proc))
        return false;
    m_trackStyle = style;
    m_background = GetSysColor(COLOR_BTNFACE);
    HWND window = CreateWindowExW(0, kSliderClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left,
                                  rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), TlRawOwnModule(), this);
    return window != nullptr && m_trackbar != nullptr;
}

bool CTlRawSlider::Build()
{
    m_arrows = TlRawAcquireArrows(m_background);
    if (!m_arrows)
        return false;
    BITMAP cell = {};
    GetObjectW(m_arrows->cells[0][0], sizeof(cell), &cell);
    RECT client = {};
    GetClientRect(m_window, &client);
    const int top = (client.bottom - cell.bmHeight) / 2;
    m_left = MakeChild(L"BUTTON", L"Left", BS_OWNERDRAW, 0, top, cell.bmWidth, cell.bmHeight, m_window,
                       kLeftArrowId);
    m_right = MakeChild(L"BUTTON", L"Right", BS_OWNERDRAW, client.right - cell.bmWidth, top, cell.bmWidth,
                        cell.bmHeight, m_window, kRightArrowId);
    m_trackbar = MakeChild(TRACKBAR_CLASSW, L"", m_trackStyle | WS_GROUP, cell.bmWidth, 0,
                           client.right - 2 * cell.bmWidth, client.bottom, m_window, 0);
    if (!m_left || !m_right || !m_trackbar)
        return false;
    m_leftHover.Attach(m_left);
    m_rightHover.Attach(m_right);
    return true;
}

void CTlRawSlider::Release()
{
    if (m_arrows)
        TlRawReleaseArrows(m_background);
    m_arrows = nullptr;
}

void CTlRawSlider::SetLineSize(int size)
{
    SendMessageW(m_trackbar, TBM_SETLINESIZE, 0, size);
}

void CTlRawSlider::SetPageSize(int size)
{
    SendMessageW(m_trackbar, TBM_SETPAGESIZE, 0, size);
}

void CTlRawSlider::SetRange(int minimum, int maximum)
{
    SendMessageW(m_trackbar, TBM_SETRANGEMIN, FALSE, minimum);
    SendMessageW(m_trackbar, TBM_SETRANGEMAX, TRUE, maximum);
}

void CTlRawSlider::SetPosition(int position)
{
    SendMessageW(m_trackbar, TBM_SETPOS, TRUE, position);
    ForwardScroll(ScrollMessage(), MAKEWPARAM(TB_THUMBPOSITION, Position()));
}

int CTlRawSlider::Position() const
{
    return int(SendMessageW(m_trackbar, TBM_GETPOS, 0, 0));
}

void CTlRawSlider::SetBackground(COLORREF colour)
{
    if (colour == m_background && m_arrows)
        return;
    const TlRawArrowSet* arrows = TlRawAcquireArrows(colour);
    if (!arrows)
        return;
    Release();
    m_background = colour;
    m_arrows = arrows;
    InvalidateRect(m_window, nullptr, TRUE);
    InvalidateRect(m_trackbar, nullptr, TRUE);
}

UINT CTlRawSlider::ScrollMessage() const
{
    return (m_trackStyle & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
}

void CTlRawSlider::PressArrowKey(UINT key)
{
    // The trackbar moves by its line size and notifies as for a key press.
    SendMessageW(m_trackbar, WM_KEYDOWN, key, 1);
    SendMessageW(m_trackbar, WM_KEYUP, key, LPARAM(0xC0000001u));
}

void CTlRawSlider::ForwardScroll(UINT message, WPARAM wParam)
{
    if (m_forwardScroll)
        SendMessageW(GetParent(m_window), message, wParam, reinterpret_cast<LPARAM>(m_window));
}

void CTlRawSlider::DrawArrow(const DRAWITEMSTRUCT& item)
{
    if (!m_arrows)
        return;
    const int side = item.CtlID == kRightArrowId ? 1 : 0;
    const CTlRawHoverTracker& hover = side ? m_rightHover : m_leftHover;
    int look = kTlArrowNormal;
    if (!(item.itemState & ODS_DISABLED)) {
        if (item.itemState & ODS_SELECTED)
            look = kTlArrowPressed;
        else if (hover.Hovered())
            look = kTlArrowHover;
    }
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(source, m_arrows->cells[side][look]);
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
           item.rcItem.bottom - item.rcItem.top, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

LRESULT CTlRawSlider::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return Build() ? 0 : -1;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && (LOWORD(wParam) == kLeftArrowId || LOWORD(wParam) == kRightArrowId)) {
            PressArrowKey(LOWORD(wParam) == kLeftArrowId ? VK_LEFT : VK_RIGHT);
            return 0;
        }
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == m_trackbar) {
            ForwardScroll(message, wParam);
            return 0;
        }
        break;
    case WM_DRAWITEM:
        DrawArrow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (m_arrows) {
            SetBkColor(reinterpret_cast<HDC>(wParam), m_background);
            return reinterpret_cast<LRESULT>(m_arrows->background);
        }
        break;
    case WM_ERASEBKGND:
        if (m_arrows) {
            RECT client = {};
            GetClientRect(m_window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, m_arrows->background);
            return TRUE;
        }
        break;
    case WM_ENABLE:
        EnableWindow(m_left, BOOL(wParam));
        EnableWindow(m_right, BOOL(wParam));
        EnableWindow(m_trackbar, BOOL(wParam));
        break;
    case WM_DESTROY:
        m_leftHover.Detach();
        m_rightHover.Detach();
        Release();
        break;
    case WM_NCDESTROY: {
        HWND window = m_window;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        m_window = m_trackbar = m_left = m_right = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT CALLBACK CTlRawSlider::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<CTlRawSlider*>(create->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CTlRawSlider*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}
