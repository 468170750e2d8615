#include "ui/TControl.h"

#include "ui/WindowBinding.h"

#include <mutex>
#include <set>

namespace {
// Every live wrapper, so that a user-data long is trusted only when it holds
// one of ours.
std::mutex g_wrappersLock;
std::set<const TControl*>& Wrappers()
{
    static std::set<const TControl*> wrappers;
    return wrappers;
}

void Register(const TControl* control)
{
    std::lock_guard<std::mutex> lock(g_wrappersLock);
    Wrappers().insert(control);
}

void Unregister(const TControl* control)
{
    std::lock_guard<std::mutex> lock(g_wrappersLock);
    Wrappers().erase(control);
}

bool IsWrapper(const TControl* control)
{
    std::lock_guard<std::mutex> lock(g_wrappersLock);
    return Wrappers().count(control) != 0;
}
}

TControl::~TControl()
{
    if (m_attached)
        Detach();
    Unregister(this);
    FreeGdiObjects();
}

TControl* TControl::BoundTo(HWND window)
{
    if (!window)
        return nullptr;
    auto* control = reinterpret_cast<TControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return control && IsWrapper(control) ? control : nullptr;
}

bool TControl::Create(HWND, DWORD, const RECT&)
{
    return true;
}

bool TControl::Destroy()
{
    if (IsValid()) {
        if (m_attached) {
            Detach();
            return true;
        }
        return DestroyWindow(m_window) != FALSE;
    }
    m_messages.Clear();
    m_commandCodes.Clear();
    m_notifications.Clear();
    FreeGdiObjects();
    return false;
}

bool TControl::Attach(HWND window, bool owns)
{
    if (!window)
        return false;
    // A wrapper of ours already bound there gives way; anything else in the
    // user-data long is not ours to delete.
    TControl* previous = BoundTo(window);
    if (previous && previous != this) {
        previous->Detach();
        previous->Release();
    } else if (previous == this) {
        Detach();
    }
    Register(this);
    m_window = window;
    m_attached = !owns;
    m_previous = BindAndSubclass(window, this, &TControl::WindowProc);
    return true;
}

void TControl::Detach()
{
    if (m_window && m_attached) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    }
    m_messages.Clear();
    m_commandCodes.Clear();
    m_notifications.Clear();
    m_attached = false;
    m_window = nullptr;
}

bool TControl::SetText(const TWideString& text)
{
    if (!IsValid())
        return false;
    const BOOL set = SetWindowTextW(m_window, text.Text());
    InvalidateRect(m_window, nullptr, TRUE);
    UpdateWindow(m_window);
    return set == TRUE;
}

bool TControl::GetText(TWideString& text) const
{
    return ReadWindowText(m_window, text);
}

bool TControl::SetFont(const TFontInfo* font)
{
    m_hasFont = font != nullptr;
    if (font) {
        m_font = *font;
        LOGFONTW request = {};
        lstrcpynW(request.lfFaceName, m_font.face.Text(), LF_FACESIZE);
        HDC context = GetDC(m_window);
        request.lfHeight = -MulDiv(m_font.points, GetDeviceCaps(context, LOGPIXELSY), 72);
        ReleaseDC(m_window, context);
        request.lfWeight = (m_font.style & 1) ? FW_BOLD : FW_NORMAL;
        request.lfItalic = (m_font.style & 2) ? TRUE : FALSE;
        request.lfQuality = ANTIALIASED_QUALITY;
        if (m_fontObject)
            DeleteObject(m_fontObject);
        m_fontObject = CreateFontIndirectW(&request);
    }
    if (IsValid() && m_fontObject) {
        SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(m_fontObject), TRUE);
        Invalidate();
    }
    return true;
}

bool TControl::SetTextColor(const COLORREF* colour)
{
    m_hasTextColour = colour != nullptr;
    if (colour)
        m_textColour = *colour & 0xFFFFFF;
    if (IsValid())
        Invalidate();
    return true;
}

bool TControl::SetOption(int value)
{
    m_option = value;
    return true;
}

bool TControl::SetBackColor(const COLORREF* colour)
{
    m_hasBackColour = colour != nullptr;
    if (m_backBrush)
        DeleteObject(m_backBrush);
    m_backBrush = nullptr;
    if (colour) {
        m_backColour = *colour & 0xFFFFFF;
        m_backBrush = CreateSolidBrush(m_backColour);
    }
    if (IsValid())
        Invalidate();
    return true;
}

HBRUSH TControl::OnCtlColor(TMsgContext&)
{
    return nullptr;
}

bool TControl::SetFocus()
{
    return true;
}

bool TControl::Show(bool show)
{
    return ShowWindow(m_window, show ? SW_SHOW : SW_HIDE) == TRUE;
}

void TControl::Invalidate(const RECT* rect, bool erase)
{
    InvalidateRect(m_window, rect, erase ? TRUE : FALSE);
}

bool TControl::AddMessageHandler(int message, const THandler& handler)
{
    return IsValid() && m_messages.Add(message, handler);
}

bool TControl::AddNotifyHandler(int code, const THandler& handler)
{
    return IsValid() && m_notifications.Add(code, handler);
}

void TControl::FreeGdiObjects()
{
    if (m_fontObject)
        DeleteObject(m_fontObject);
    if (m_backBrush)
        DeleteObject(m_backBrush);
    m_fontObject = nullptr;
    m_backBrush = nullptr;
}

LRESULT CALLBACK TControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TControl* control = BoundTo(window);
    if (!control && message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (create && create->lpCreateParams) {
            control = static_cast<TControl*>(create->lpCreateParams);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        }
    }
    if (!control)
        return DefWindowProcW(window, message, wParam, lParam);
    return control->Dispatch(window, message, wParam, lParam);
}

LRESULT TControl::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TMsgContext context;
    context.window = window;
    context.wParam = wParam;
    context.lParam = lParam;
    const THandler* handler = nullptr;
    if (message == WM_NOTIFY && lParam) {
        context.key = static_cast<int>(reinterpret_cast<const NMHDR*>(lParam)->code);
        handler = m_notifications.Find(context.key);
    } else if (message == WM_COMMAND) {
        context.key = HIWORD(wParam);
        handler = m_commandCodes.Find(context.key);
    } else {
        context.key = static_cast<int>(message);
        context.plainParam = lParam;
        handler = m_messages.Find(context.key);
    }
    if (handler && handler->callback && handler->callback(context, handler->user) == 1)
        return 1;
    if (m_previous)
        return CallWindowProcW(m_previous, window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}
