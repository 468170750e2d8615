#include "TlRawTextButton.h"

#include "TlRawPluginHost.h"

#include <vector>

CTlRawTextButton::~CTlRawTextButton()
{
    m_hover.Detach();
    if (m_window && IsWindow(m_window)) {
        TlRawAttachOwnerDrawn(m_window, nullptr);
        DestroyWindow(m_window);
    }
}

bool CTlRawTextButton::Create(const std::wstring& caption, DWORD style, const RECT& rect, HWND parent, int id)
{
    if (m_window)
        return false;
    m_window = CreateWindowExW(0, L"BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | style,
                               rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), TlRawOwnModule(), nullptr);
    if (!m_window)
        return false;
    SendMessageW(m_window, WM_SETFONT, SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
    TlRawAttachOwnerDrawn(m_window, this);
    m_hover.Attach(m_window);
    return true;
}

void CTlRawTextButton::Draw(const DRAWITEMSTRUCT& item)
{
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;

    HBRUSH face = CreateSolidBrush(m_face);
    FillRect(dc, &rect, face);
    DeleteObject(face);
    UINT edge = EDGE_ETCHED;
    if (pressed)
        edge = EDGE_SUNKEN;
    else if (Hovered())
        edge = EDGE_RAISED;
    DrawEdge(dc, &rect, edge, BF_RECT);

    std::vector<wchar_t> caption(size_t(GetWindowTextLengthW(m_window)) + 1);
    GetWindowTextW(m_window, caption.data(), int(caption.size()));
    RECT text = rect;
    if (pressed)
        OffsetRect(&text, 1, 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : (Hovered() ? COLOR_HOTLIGHT : COLOR_BTNTEXT)));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_window, WM_GETFONT, 0, 0)));
    DrawTextW(dc, caption.data(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);

    if (item.itemState & ODS_FOCUS) {
        InflateRect(&rect, -3, -3);
        DrawFocusRect(dc, &rect);
    }
}
