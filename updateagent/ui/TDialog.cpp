#include "ui/TDialog.h"

#include "ui/ClassifyControl.h"
#include "ui/Controls.h"

TDialog::~TDialog()
{
    ReleaseControls();
}

bool TDialog::Destroy()
{
    if (!IsValid())
        return false;
    return EndModal(m_result);
}

int TDialog::OnInitDialog()
{
    AddCommandHandler(IDOK, {this, &TDialog::OnOKCommand});
    AddCommandHandler(IDCLOSE, {this, &TDialog::OnCloseCommand});
    AddCommandHandler(IDCANCEL, {this, &TDialog::OnCancelCommand});
    EnumChildWindows(Handle(), &TDialog::BindChild, reinterpret_cast<LPARAM>(this));
    return 1;
}

void TDialog::PrepareResource(HWND parent, bool modal)
{
    if (parent)
        Resource().SetParent(parent);
    Resource().SetDialogProc(&TDialog::DialogProc);
    Resource().SetParam(reinterpret_cast<LPARAM>(this));
    m_modal = modal;
}

int TDialog::DoModal(UINT templateId, HWND parent)
{
    PrepareResource(parent, true);
    INT_PTR result = -1;
    if (!Resource().RunModal(templateId, result))
        return -1;
    return static_cast<int>(result);
}

bool TDialog::CreateModeless(UINT templateId, HWND parent)
{
    PrepareResource(parent, false);
    HWND window = nullptr;
    return Resource().RunModeless(templateId, window) && window;
}

void TDialog::OnOK()
{
    m_result = 1;
    Close();
}

void TDialog::OnCancel()
{
    m_result = 0;
    Close();
}

bool TDialog::EndModal(int code)
{
    if (m_modal)
        return EndDialog(Handle(), code) == TRUE;
    return TWindow::Destroy();
}

bool TDialog::PostMsg(UINT message, LPARAM lParam)
{
    return IsValid() && PostMessageA(Handle(), message, 0, lParam) == TRUE;
}

HWND TDialog::GetDlgItem(int id) const
{
    return IsValid() ? ::GetDlgItem(Handle(), id) : nullptr;
}

TControl* TDialog::GetControl(int id)
{
    HWND child = GetDlgItem(id);
    if (!child)
        return nullptr;
    if (TControl* bound = TControl::BoundTo(child))
        return bound;
    TControl* control = CreateControlForKind(ClassifyControl(child));
    if (!control)
        return nullptr;
    control->Attach(child, false);
    m_controls.push_back(control);
    return control;
}

// The wrappers go with the dialog's window: they subclass its controls.
void TDialog::ReleaseControls()
{
    for (TControl* control : m_controls) {
        control->Detach();
        control->Release();
    }
    m_controls.clear();
}

BOOL CALLBACK TDialog::BindChild(HWND child, LPARAM self)
{
    reinterpret_cast<TDialog*>(self)->GetControl(GetDlgCtrlID(child));
    return TRUE;
}

LRESULT TDialog::OnOKCommand(TMsgContext&, void* self)
{
    static_cast<TDialog*>(self)->OnOK();
    return 1;
}

LRESULT TDialog::OnCloseCommand(TMsgContext&, void* self)
{
    static_cast<TDialog*>(self)->Close();
    return 1;
}

LRESULT TDialog::OnCancelCommand(TMsgContext&, void* self)
{
    static_cast<TDialog*>(self)->OnCancel();
    return 1;
}

INT_PTR CALLBACK TDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        if (auto* dialog = reinterpret_cast<TDialog*>(lParam)) {
            SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
            dialog->Bind(window);
            dialog->OnInitDialog();
        }
        return TRUE;
    }
    auto* dialog = reinterpret_cast<TDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!dialog)
        return FALSE;
    LRESULT result = 0;
    const Routed routed = dialog->Route(nullptr, message, wParam, lParam, static_cast<int>(message), result);
    if (message == WM_DESTROY)
        dialog->ReleaseControls();
    if (routed == Routed::Ended && (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC))
        return static_cast<INT_PTR>(result);
    return FALSE;
}
