#include "ui/Controls.h"

#include "ui/ClassifyControl.h"

#include <commctrl.h>

HBRUSH TStaticCtrl::OnCtlColor(TMsgContext& context)
{
    if (HBRUSH brush = TControl::OnCtlColor(context))
        return brush;
    if (context.key != WM_CTLCOLORSTATIC || (!HasBackColour() && !HasTextColour()))
        return nullptr;
    HDC dc = reinterpret_cast<HDC>(context.wParam);
    if (HasBackColour())
        SetBkColor(dc, BackColour());
    if (HasTextColour()) {
        SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, TextColour());
    }
    return HasBackColour() ? BackBrush() : GetSysColorBrush(COLOR_BTNFACE);
}

bool TBtnCtrl::Create(HWND parent, DWORD style, const RECT& rect)
{
    if (!parent)
        return false;
    HWND window = CreateWindowExW(0, L"button", nullptr, style | WS_CHILD, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, nullptr, nullptr);
    return Attach(window, false);
}

void TProgCtrl::SetPos(int value)
{
    m_position = value;
    if (IsValid())
        SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void TProgCtrl::SetMinimum(int value)
{
    m_minimum = value;
    SendRange();
}

void TProgCtrl::SetMaximum(int value)
{
    m_maximum = value;
    SendRange();
}

void TProgCtrl::SendRange()
{
    if (IsValid())
        SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(m_minimum), static_cast<LPARAM>(m_maximum));
}

bool TArrowsCtrl::Attach(HWND window, bool owns)
{
    if (!TControl::Attach(window, owns))
        return false;
    AddNotifyHandler(UDN_DELTAPOS, {this, &TArrowsCtrl::OnDeltaPos});
    return true;
}

// The arrows count up when the control reports a negative delta.
LRESULT TArrowsCtrl::OnDeltaPos(TMsgContext& context, void* self)
{
    auto* arrows = static_cast<TArrowsCtrl*>(self);
    const auto* change = reinterpret_cast<const NMUPDOWN*>(context.lParam);
    if (!change)
        return 0;
    if (change->iDelta < 0) {
        const int raised = arrows->m_value + arrows->m_step;
        arrows->m_value = raised < arrows->m_maximum ? raised : arrows->m_maximum;
    } else {
        const int lowered = arrows->m_value - arrows->m_step;
        arrows->m_value = lowered > arrows->m_minimum ? lowered : arrows->m_minimum;
    }
    return 0;
}

bool TOwnerDrawCtrl::Create(HWND parent, DWORD style, const RECT& rect)
{
    return TBtnCtrl::Create(parent, style | BS_OWNERDRAW, rect);
}

bool TOwnerDrawCtrl::Attach(HWND window, bool owns)
{
    if (!TBtnCtrl::Attach(window, owns))
        return false;
    AddMessageHandler(WM_DRAWITEM, {this, &TOwnerDrawCtrl::OnDrawItem});
    AddMessageHandler(WM_ERASEBKGND, {this, &TOwnerDrawCtrl::OnEraseBackground});
    return true;
}

LRESULT TOwnerDrawCtrl::Draw()
{
    if (!m_callback)
        return 0;
    if (HasBackColour() && m_drawItem) {
        HBRUSH brush = CreateSolidBrush(BackColour());
        FillRect(m_drawItem->hDC, &m_drawItem->rcItem, brush);
        DeleteObject(brush);
    }
    return m_callback(this, m_user);
}

LRESULT TOwnerDrawCtrl::OnDrawItem(TMsgContext& context, void* self)
{
    auto* control = static_cast<TOwnerDrawCtrl*>(self);
    control->m_drawItem = reinterpret_cast<const DRAWITEMSTRUCT*>(context.lParam);
    return control->Draw();
}

LRESULT TOwnerDrawCtrl::OnEraseBackground(TMsgContext&, void*)
{
    return 1;
}

TControl* CreateControlForKind(int kind)
{
    switch (kind) {
    case kControlStatic:
    case 10:
        return new TStaticCtrl;
    case kControlEdit:
        return new TEditCtrl;
    case kControlButton:
        return new TBtnCtrl;
    case kControlRadio:
    case kControlCheckBox:
        return new TCheckBoxCtrl;
    case kControlProgress:
        return new TProgCtrl;
    case kControlSlider:
        return new TSliderCtrl;
    case kControlComboBox:
        return new TComboBoxCtrl;
    case kControlOwnerDraw:
        return new TOwnerDrawCtrl;
    case kControlArrows:
        return new TArrowsCtrl;
    default:
        return nullptr;
    }
}
