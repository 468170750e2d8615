// Windows and dialogs of the thin framework, over real Win32 windows. A
// dialog object receives the messages of its window through its virtual
// operations; the window finds its object through a window property.
#pragma once

#include <windows.h>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The control with `id`, null when there is none.
    HWND GetDlgItem(int id) const;
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void GetWindowRect(RECT* rect) const;
    void GetClientRect(RECT* rect) const;
    void SetWindowText(const char* text);
    void Invalidate(BOOL erase = TRUE);
    void UpdateWindow();
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    HFONT GetFont() const;
    virtual BOOL DestroyWindow();

    // The object behind a window of this framework; null for any other window.
    static CWnd* FromHandlePermanent(HWND window);

    HWND m_hWnd = nullptr;

protected:
    // Dialog procedures hand the window's messages to its object.
    friend class CDialog;

    // A message of this window: TRUE with `*result` when handled.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A command (a button's click, a menu item): TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // After the window's last message; the object no longer has a window.
    virtual void PostNcDestroy() {}

    // Binds and unbinds the object and its window.
    void Attach(HWND window);
    void Detach();
};

class CDialog : public CWnd {
public:
    CDialog() = default;
    // A dialog from resource `templateId` of the current resource module.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Modal runs: from the resource given at construction, or from an
    // in-memory template that must live until DoModal returns.
    BOOL InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);
    // The value given to EndDialog, or -1 when the dialog could not be made.
    virtual INT_PTR DoModal();
    // Modeless dialogs, from a resource of the current resource module or an
    // in-memory template. FALSE when the window could not be made.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    BOOL CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);
    void EndDialog(int result);

protected:
    // The dialog's window exists, its controls from the template too.
    // TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId = 0;
    const DLGTEMPLATE* m_modalTemplate = nullptr;
    CWnd* m_parent = nullptr;
    bool m_modal = false;

private:
    bool m_made = false;
};

// The main window of the current module's application object; null when
// there is none.
CWnd* AfxGetMainWnd();
