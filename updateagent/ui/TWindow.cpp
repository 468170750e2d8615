#include "ui/TWindow.h"

#include "ui/TControl.h"
#include "ui/WindowBinding.h"

namespace {
TWindow* BoundWindow(HWND window)
{
    return reinterpret_cast<TWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT Call(const THandler& handler, TMsgContext& context)
{
    return handler.callback ? handler.callback(context, handler.user) : 0;
}
}

TWindow::~TWindow()
{
    if (m_attached)
        Detach();
    else
        TWindow::Destroy();
}

bool TWindow::Destroy()
{
    bool done = false;
    if (m_attached) {
        Detach();
        done = true;
    } else if (m_window) {
        done = DestroyWindow(m_window) != FALSE;
    }
    ClearMaps();
    m_attached = false;
    m_previous = nullptr;
    m_window = nullptr;
    return done;
}

bool TWindow::Attach(HWND window, bool owns)
{
    if (!window)
        return false;
    m_window = window;
    m_attached = !owns;
    m_previous = BindAndSubclass(window, this, &TWindow::WindowProc);
    return true;
}

void TWindow::Detach()
{
    if (m_window && m_attached)
        SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    ClearMaps();
    m_attached = false;
    m_previous = nullptr;
    m_window = nullptr;
}

bool TWindow::IsValid() const
{
    return IsWindow(m_window) != FALSE;
}

void TWindow::Show(bool show)
{
    if (m_window)
        ShowWindow(m_window, show ? SW_SHOW : SW_HIDE);
}

bool TWindow::IsVisible() const
{
    return m_window && IsWindowVisible(m_window) == TRUE;
}

void TWindow::SetFocus()
{
    if (IsValid())
        ::SetFocus(m_window);
}

bool TWindow::Enable(bool enable)
{
    return IsValid() && EnableWindow(m_window, enable ? TRUE : FALSE) == TRUE;
}

bool TWindow::IsEnabled() const
{
    return IsValid() && IsWindowEnabled(m_window) == TRUE;
}

bool TWindow::Activate()
{
    if (IsValid())
        SetActiveWindow(m_window);
    return true;
}

bool TWindow::GetText(TWideString& text) const
{
    return ReadWindowText(m_window, text);
}

bool TWindow::SetText(const TWideString& text)
{
    return SetWindowTextW(m_window, text.Text()) == TRUE;
}

int TWindow::OnInitDialog()
{
    return 0;
}

void TWindow::Close()
{
    Destroy();
}

int TWindow::OnSize(SIZE)
{
    return 0;
}

bool TWindow::AddMessageHandler(int key, const THandler& handler)
{
    return IsValid() && m_messages.Add(key, handler);
}

bool TWindow::AddCommandHandler(int id, const THandler& handler)
{
    return IsValid() && m_commands.Add(id, handler);
}

bool TWindow::AddNotifyHandler(int code, int controlId, const THandler& handler)
{
    return IsValid() && m_notifications.Add(code, controlId, handler);
}

void TWindow::ClearMaps()
{
    m_messages.Clear();
    m_commands.Clear();
    m_notifications.Clear();
}

TWindow::Routed TWindow::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int messageKey, LRESULT& result)
{
    TMsgContext context;
    context.window = window;
    context.wParam = wParam;
    context.lParam = lParam;
    const THandler* handler = nullptr;
    result = 0;
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header || !header->hwndFrom)
            return Routed::NotHandled;
        if ((result = SendMessageA(header->hwndFrom, message, wParam, lParam)) != 0)
            return Routed::Ended;
        context.key = static_cast<int>(header->code);
        handler = m_notifications.Find(context.key, static_cast<int>(header->idFrom));
        break;
    }
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL: {
        HWND control = reinterpret_cast<HWND>(lParam);
        if (control && (result = SendMessageA(control, message, wParam, lParam)) != 0)
            return Routed::Ended;
        if (message == WM_COMMAND) {
            context.key = LOWORD(wParam);
            handler = m_commands.Find(context.key);
            if (!handler) {
                context.key = HIWORD(wParam);
                handler = m_notifications.Find(context.key, LOWORD(wParam));
            }
        } else if (control) {
            context.key = LOWORD(wParam);
            handler = m_notifications.Find(context.key, GetDlgCtrlID(control));
        }
        break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (TControl* control = TControl::BoundTo(reinterpret_cast<HWND>(lParam))) {
            context.key = static_cast<int>(message);
            if (HBRUSH brush = control->OnCtlColor(context)) {
                result = reinterpret_cast<LRESULT>(brush);
                return Routed::Ended;
            }
        }
        return Routed::NotHandled;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item && item->hwndItem && (result = SendMessageA(item->hwndItem, message, wParam, lParam)) != 0)
            return Routed::Ended;
        context.key = static_cast<int>(message);
        context.plainParam = lParam;
        handler = m_messages.Find(context.key);
        break;
    }
    default:
        context.key = messageKey;
        context.plainParam = lParam;
        handler = m_messages.Find(context.key);
        break;
    }
    if (!handler)
        return Routed::NotHandled;
    result = Call(*handler, context);
    return Routed::Handled;
}

LRESULT CALLBACK TWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TWindow* self = BoundWindow(window);
    if (!self) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (message == WM_CREATE && create && create->lpCreateParams) {
            self = static_cast<TWindow*>(create->lpCreateParams);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->Bind(window);
            self->OnInitDialog();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Dispatch(window, message, wParam, lParam);
}

LRESULT TWindow::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE) {
        if (OnSize(SIZE{LOWORD(lParam), HIWORD(lParam)}) == 1)
            return 1;
        return PassOn(window, message, wParam, lParam);
    }
    if ((message == WM_HSCROLL || message == WM_VSCROLL) && !lParam) {
        if (OnOwnScroll(message, LOWORD(wParam)) == 1)
            return 1;
        return PassOn(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    const int key = message == WM_PAINT ? kPaintKey : static_cast<int>(message);
    const Routed routed = Route(window, message, wParam, lParam, key, result);
    if (routed == Routed::Ended || (routed == Routed::Handled && result == 1))
        return result;
    return PassOn(window, message, wParam, lParam);
}

int TWindow::OnOwnScroll(UINT message, int code)
{
    const bool horizontal = message == WM_HSCROLL;
    switch (code) {
    case SB_LINELEFT:
        return horizontal ? OnScrollLineLeft(1) : OnScrollLineUp(1);
    case SB_LINERIGHT:
        return horizontal ? OnScrollLineRight(1) : OnScrollLineDown(1);
    case SB_PAGELEFT:
        return horizontal ? OnScrollPageLeft() : OnScrollPageUp();
    case SB_PAGERIGHT:
        return horizontal ? OnScrollPageRight() : OnScrollPageDown();
    case SB_THUMBPOSITION:
        return horizontal ? OnScrollThumbPositionH() : OnScrollThumbPositionV();
    case SB_THUMBTRACK:
        return horizontal ? OnScrollThumbTrackH() : OnScrollThumbTrackV();
    case SB_LEFT:
        return horizontal ? OnScrollLeftEdge() : OnScrollTop();
    case SB_RIGHT:
        return horizontal ? OnScrollRightEdge() : OnScrollBottom();
    case SB_ENDSCROLL:
        return horizontal ? OnScrollEndH() : OnScrollEndV();
    default:
        return 0;
    }
}

LRESULT TWindow::PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_previous)
        return CallWindowProcW(m_previous, window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}
