// What the plug-in's owner-drawn buttons share: the parent hands each
// WM_DRAWITEM to TlRawDrawOwnControl, which finds the control the button
// window belongs to; a hover flag kept by mouse tracking repaints the
// button as the pointer enters and leaves it.
#pragma once

#include <windows.h>

class ITlRawOwnerDrawn {
public:
    virtual void Draw(const DRAWITEMSTRUCT& item) = 0;

protected:
    ~ITlRawOwnerDrawn() = default;
};

// Ties `control` to its button window (null unties it).
void TlRawAttachOwnerDrawn(HWND button, ITlRawOwnerDrawn* control);
// For a parent's WM_DRAWITEM: true when one of our controls drew it.
bool TlRawDrawOwnControl(const DRAWITEMSTRUCT* item);

// Keeps a button's hover flag through TrackMouseEvent (hover time 1 ms):
// the first movement over the button asks for hover and leave
// notifications, the hover notification sets the flag and the leave
// notification clears it, each change repainting the button.
class CTlRawHoverTracker {
public:
    bool Attach(HWND button);
    void Detach();
    bool Hovered() const { return m_hovered; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data);
    void SetHovered(bool hovered);

    HWND m_button = nullptr;
    bool m_hovered = false;
    bool m_tracking = false;
};
