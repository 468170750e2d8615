// A window handle with its message routing: virtual operations for the
// common messages and three handler maps (messages, commands, notifications).
#pragma once

#include "base/TBaseObject.h"
#include "base/TResource.h"
#include "base/TWideString.h"
#include "ui/THandler.h"

#include <windows.h>

// A plain window's paint handler is registered under this key.
constexpr int kPaintKey = 0x8004;

class TWindow : public TBaseObject {
public:
    TWindow() = default;
    ~TWindow() override;

    virtual bool Destroy();
    virtual bool Attach(HWND window, bool owns);
    virtual void Detach();
    virtual bool IsValid() const;
    virtual void Show(bool show);
    virtual bool IsVisible() const;
    virtual void SetFocus();
    virtual bool Enable(bool enable);
    virtual bool IsEnabled() const;
    virtual bool Activate();
    virtual bool GetText(TWideString& text) const;
    virtual bool SetText(const TWideString& text);
    virtual int OnInitDialog();
    virtual int OnScrollLeftEdge() { return 0; }
    virtual int OnScrollRightEdge() { return 0; }
    virtual int OnScrollLineLeft(int) { return 0; }
    virtual int OnScrollLineRight(int) { return 0; }
    virtual int OnScrollPageLeft() { return 0; }
    virtual int OnScrollPageRight() { return 0; }
    virtual int OnScrollThumbPositionH() { return 0; }
    virtual int OnScrollThumbTrackH() { return 0; }
    virtual int OnScrollEndH() { return 0; }
    virtual int OnScrollTop() { return 0; }
    virtual int OnScrollBottom() { return 0; }
    virtual int OnScrollLineUp(int) { return 0; }
    virtual int OnScrollLineDown(int) { return 0; }
    virtual int OnScrollPageUp() { return 0; }
    virtual int OnScrollPageDown() { return 0; }
    virtual int OnScrollThumbPositionV() { return 0; }
    virtual int OnScrollThumbTrackV() { return 0; }
    virtual int OnScrollEndV() { return 0; }
    virtual void Close();
    virtual int OnSize(SIZE size);

    // False until the window exists, and for a key already taken.
    bool AddMessageHandler(int key, const THandler& handler);
    bool AddCommandHandler(int id, const THandler& handler);
    bool AddNotifyHandler(int code, int controlId, const THandler& handler);

    HWND Handle() const { return m_window; }
    TResource& Resource() { return m_resource; }

protected:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Bind(HWND window) { m_window = window; }
    void ClearMaps();

    enum class Routed {
        NotHandled,
        // The control answered the reflected message, or gave a colour brush.
        Ended,
        // A handler of the maps ran; `result` is its answer.
        Handled,
    };
    // Reflection and map look-up shared by the window and dialog procedures.
    Routed Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int messageKey, LRESULT& result);

private:
    LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    int OnOwnScroll(UINT message, int code);
    LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool m_attached = false;
    WNDPROC m_previous = nullptr;
    HWND m_window = nullptr;
    THandlerMap m_messages;
    THandlerMap m_commands;
    TNotifyMap m_notifications;
    TResource m_resource;
};
