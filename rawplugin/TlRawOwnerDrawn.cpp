#include "TlRawOwnerDrawn.h"

#include <commctrl.h>

namespace {

const wchar_t kControlProperty[] = L"TlRawOwnerDrawn";
const UINT_PTR kHoverSubclassId = 0x5452; // any fixed id of ours

} // namespace

void TlRawAttachOwnerDrawn(HWND button, ITlRawOwnerDrawn* control)
{
    if (control)
        SetPropW(button, kControlProperty, control);
    else
        RemovePropW(button, kControlProperty);
}

bool TlRawDrawOwnControl(const DRAWITEMSTRUCT* item)
{
    if (!item || item->CtlType != ODT_BUTTON)
        return false;
    auto* control = static_cast<ITlRawOwnerDrawn*>(GetPropW(item->hwndItem, kControlProperty));
    if (!control)
        return false;
    control->Draw(*item);
    return true;
}

bool CTlRawHoverTracker::Attach(HWND button)
{
    Detach();
    if (!SetWindowSubclass(button, &CTlRawHoverTracker::Proc, kHoverSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_button = button;
    return true;
}

void CTlRawHoverTracker::Detach()
{
    if (m_button)
        RemoveWindowSubclass(m_button, &CTlRawHoverTracker::Proc, kHoverSubclassId);
    m_button = nullptr;
    m_hovered = false;
    m_tracking = false;
}

void CTlRawHoverTracker::SetHovered(bool hovered)
{
    if (m_hovered == hovered)
        return;
    m_hovered = hovered;
    InvalidateRect(m_button, nullptr, FALSE);
}

LRESULT CALLBACK CTlRawHoverTracker::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data)
{
    auto* self = reinterpret_cast<CTlRawHoverTracker*>(data);
    switch (message) {
    case WM_MOUSEMOVE:
        if (!self->m_tracking) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, window, 1};
            self->m_tracking = TrackMouseEvent(&track) != FALSE;
        }
        break;
    case WM_MOUSEHOVER:
        self->SetHovered(true);
        break;
    case WM_MOUSELEAVE:
        self->m_tracking = false;
        self->SetHovered(false);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, &CTlRawHoverTracker::Proc, kHoverSubclassId);
        self->m_button = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
