// Wrappers of a dialog's child controls. A wrapper is bound to its control
// through the control's user-data long and subclasses it, so that reflected
// notifications and draw requests reach the wrapper's handlers.
#pragma once

#include "base/TBaseObject.h"
#include "base/TWideString.h"
#include "ui/THandler.h"

#include <windows.h>

class TFontInfo {
public:
    virtual ~TFontInfo() = default;

    TWideString face = L"Arial";
    // Bit 0 bold, bit 1 italic.
    int style = 0;
    int points = 10;
};

class TControl : public TBaseObject {
public:
    TControl() = default;
    ~TControl() override;

    virtual bool Create(HWND parent, DWORD style, const RECT& rect);
    virtual bool Destroy();
    virtual bool Attach(HWND window, bool owns);
    virtual void Detach();
    virtual bool SetText(const TWideString& text);
    virtual bool GetText(TWideString& text) const;
    virtual bool SetFont(const TFontInfo* font);
    virtual bool SetTextColor(const COLORREF* colour);
    virtual bool SetOption(int value);
    virtual bool SetBackColor(const COLORREF* colour);
    virtual HBRUSH OnCtlColor(TMsgContext& context);
    virtual bool SetFocus();

    bool IsValid() const { return IsWindow(m_window) != FALSE; }
    bool Show(bool show);
    void Invalidate(const RECT* rect = nullptr, bool erase = true);
    bool AddMessageHandler(int message, const THandler& handler);
    bool AddNotifyHandler(int code, const THandler& handler);
    HWND Handle() const { return m_window; }

    // The wrapper bound to a window, or null when the window's user-data
    // long holds none of ours.
    static TControl* BoundTo(HWND window);

protected:
    bool HasTextColour() const { return m_hasTextColour; }
    COLORREF TextColour() const { return m_textColour; }
    bool HasBackColour() const { return m_hasBackColour; }
    COLORREF BackColour() const { return m_backColour; }
    HBRUSH BackBrush() const { return m_backBrush; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void FreeGdiObjects();

    bool m_attached = false;
    HWND m_window = nullptr;
    bool m_hasFont = false;
    TFontInfo m_font;
    bool m_hasTextColour = false;
    COLORREF m_textColour = 0;
    bool m_hasBackColour = false;
    COLORREF m_backColour = 0;
    int m_option = -1;
    HBRUSH m_backBrush = nullptr;
    HFONT m_fontObject = nullptr;
    THandlerMap m_messages;
    THandlerMap m_commandCodes;
    THandlerMap m_notifications;
    WNDPROC m_previous = nullptr;
};
