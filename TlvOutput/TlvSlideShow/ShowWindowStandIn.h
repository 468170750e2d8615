// A plain show window with a slide child, in place of the full show window
// with its toolbar: it does on its thread what the player thread posts
// (image loads, the end of the show) and paints the current item.
#pragma once

#include <windows.h>

class SlideshowSequencer;

class ShowWindowStandIn {
public:
    ShowWindowStandIn() = default;
    ~ShowWindowStandIn();
    ShowWindowStandIn(const ShowWindowStandIn&) = delete;
    ShowWindowStandIn& operator=(const ShowWindowStandIn&) = delete;

    // The frame "SlideShowWnd" over `rect` with its child "Slideshow".
    bool Create(SlideshowSequencer& sequencer, const RECT& rect);
    HWND Frame() const { return m_frame; }
    HWND Slide() const { return m_slide; }
    // Whether the player thread has told it the show ended.
    bool Ended() const { return m_ended; }
    int SlideChanges() const { return m_slideChanges; }

private:
    static LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool CALLBACK SlideHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void* context,
                                   LRESULT* result);

    SlideshowSequencer* m_sequencer = nullptr;
    HWND m_frame = nullptr;
    HWND m_slide = nullptr;
    bool m_ended = false;
    int m_slideChanges = 0;
};
