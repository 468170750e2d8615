// The exposure slider: a window of class "TlSlider" holding a standard
// trackbar between a left (3113) and a right (3114) arrow button. A click
// on an arrow moves the trackbar one line; the trackbar's scroll
// notifications reach the slider's parent with the slider as source.
#pragma once

#include "TlRawOwnerDrawn.h"
#include "TlRawSliderArrows.h"

class CTlRawSlider {
public:
    enum { kLeftArrowId = 3113, kRightArrowId = 3114 };

    CTlRawSlider() = default;
    CTlRawSlider(const CTlRawSlider&) = delete;
    CTlRawSlider& operator=(const CTlRawSlider&) = delete;
    ~CTlRawSlider();

    // `style` is the trackbar's (WS_GROUP is added).
    bool Create(DWORD style, const RECT& rect, HWND parent, int id);
    void SetLineSize(int size);
    void SetPageSize(int size);
    void SetRange(int minimum, int maximum);
    // Moves the thumb and tells the parent once, through the scroll
    // notification with the new position.
    void SetPosition(int position);
    int Position() const;
    void SetBackground(COLORREF colour);

    HWND Window() const { return m_window; }
    HWND Trackbar() const { return m_trackbar; }
    HWND Arrow(int id) const { return id == kLeftArrowId ? m_left : m_right; }
    const TlRawArrowSet* Arrows() const { return m_arrows; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool Build();
    void Release();
    void PressArrowKey(UINT key);
    void ForwardScroll(UINT message, WPARAM wParam);
    void DrawArrow(const DRAWITEMSTRUCT& item);
    UINT ScrollMessage() const;

    HWND m_window = nullptr;
    HWND m_trackbar = nullptr;
    HWND m_left = nullptr;
    HWND m_right = nullptr;
    DWORD m_trackStyle = 0;
    COLORREF m_background = 0;
    const TlRawArrowSet* m_arrows = nullptr;
    bool m_forwardScroll = true;
    CTlRawHoverTracker m_leftHover;
    CTlRawHoverTracker m_rightHover;
};
