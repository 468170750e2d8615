// A dialog box from a template of the language library, modal or modeless,
// with OK, Cancel and Close handling and a wrapper for each child control.
#pragma once

#include "ui/TWindow.h"

#include <vector>

class TControl;

class TDialog : public TWindow {
public:
    TDialog() = default;
    ~TDialog() override;

    bool Destroy() override;
    int OnInitDialog() override;
    // The dialog's end code, or -1 when it cannot be shown.
    virtual int DoModal(UINT templateId, HWND parent);
    virtual bool CreateModeless(UINT templateId, HWND parent);
    virtual void OnOK();
    virtual void OnCancel();

    bool EndModal(int code);
    bool PostMsg(UINT message, LPARAM lParam);
    HWND GetDlgItem(int id) const;
    // The wrapper of a child control, made on first use; null for a control
    // kind without one.
    TControl* GetControl(int id);

protected:
    int Result() const { return m_result; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static BOOL CALLBACK BindChild(HWND child, LPARAM self);
    static LRESULT OnOKCommand(TMsgContext& context, void* self);
    static LRESULT OnCloseCommand(TMsgContext& context, void* self);
    static LRESULT OnCancelCommand(TMsgContext& context, void* self);
    void PrepareResource(HWND parent, bool modal);
    void ReleaseControls();

    bool m_modal = false;
    int m_result = 0;
    std::vector<TControl*> m_controls;
};
