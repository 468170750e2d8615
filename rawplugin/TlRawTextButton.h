// The dialog's OK and Cancel: an owner-drawn button with a face colour of
// its own, the parent's font and a hover look that follows the pointer.
#pragma once

#include "TlRawOwnerDrawn.h"

#include <string>

class CTlRawTextButton : public ITlRawOwnerDrawn {
public:
    explicit CTlRawTextButton(COLORREF face = 0xDDDDDD) : m_face(face) {}
    CTlRawTextButton(const CTlRawTextButton&) = delete;
    CTlRawTextButton& operator=(const CTlRawTextButton&) = delete;
    ~CTlRawTextButton();

    // `style` is added to a visible owner-drawn child button.
    bool Create(const std::wstring& caption, DWORD style, const RECT& rect, HWND parent, int id);
    HWND Window() const { return m_window; }
    bool Hovered() const { return m_hover.Hovered(); }

    // Face colour, a 3D frame (raised while the pointer is over it, sunken
    // while pressed), the caption centred and the focus rectangle.
    void Draw(const DRAWITEMSTRUCT& item) override;

private:
    HWND m_window = nullptr;
    COLORREF m_face;
    CTlRawHoverTracker m_hover;
};
