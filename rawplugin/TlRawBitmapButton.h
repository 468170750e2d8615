// The settings dialog's picture buttons: one bitmap holds the mask (left
// half) and the picture (right half); the button is as large as one half.
#pragma once

#include "TlRawOwnerDrawn.h"

class CTlRawBitmapButton : public ITlRawOwnerDrawn {
public:
    CTlRawBitmapButton() = default;
    CTlRawBitmapButton(const CTlRawBitmapButton&) = delete;
    CTlRawBitmapButton& operator=(const CTlRawBitmapButton&) = delete;
    ~CTlRawBitmapButton();

    // The button at the rectangle's top-left corner, with the plug-in's
    // bitmap `bitmapId`.
    bool Create(unsigned bitmapId, const RECT& rect, HWND parent, int id);
    // The same with a bitmap of the caller's, which the button then owns.
    bool Create(HBITMAP bitmap, const RECT& rect, HWND parent, int id);
    void Enable(bool enable);
    HWND Window() const { return m_window; }

    // Button face, the picture through its mask 4 pixels in (5 while
    // pressed, greyed when disabled), a 3D frame and the focus rectangle.
    void Draw(const DRAWITEMSTRUCT& item) override;

private:
    HWND m_window = nullptr;
    HBITMAP m_bitmap = nullptr;
    SIZE m_size = {};
};
