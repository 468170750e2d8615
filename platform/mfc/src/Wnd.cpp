#include "afxwin.h"

namespace {

// The property that ties a window to its framework object.
const char kObjectProperty[] = "TlMfcObject";

} // namespace

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && IsWindow(m_hWnd)) {
        // The object goes first: its window must not reach it any more.
        HWND window = m_hWnd;
        Detach();
        ::DestroyWindow(window);
    }
}

HWND CWnd::GetDlgItem(int id) const
{
    return ::GetDlgItem(m_hWnd, id);
}

BOOL CWnd::ShowWindow(int command)
{
    return ::ShowWindow(m_hWnd, command);
}

BOOL CWnd::IsWindowVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::GetWindowRect(RECT* rect) const
{
    ::GetWindowRect(m_hWnd, rect);
}

void CWnd::GetClientRect(RECT* rect) const
{
    ::GetClientRect(m_hWnd, rect);
}

void CWnd::SetWindowText(const char* text)
{
    ::SetWindowTextA(m_hWnd, text ? text : "");
}

void CWnd::Invalidate(BOOL erase)
{
    ::InvalidateRect(m_hWnd, nullptr, erase);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

HFONT CWnd::GetFont() const
{
    return reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND window)
{
    return window ? static_cast<CWnd*>(GetPropA(window, kObjectProperty)) : nullptr;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND && OnCommand(wParam, lParam)) {
        *result = 0;
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM, LPARAM)
{
    return FALSE;
}

void CWnd::Attach(HWND window)
{
    m_hWnd = window;
    SetPropA(window, kObjectProperty, this);
}

void CWnd::Detach()
{
    if (m_hWnd != nullptr)
        RemovePropA(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

CWnd* AfxGetMainWnd()
{
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}
