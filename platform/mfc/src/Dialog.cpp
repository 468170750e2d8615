#include "afxwin.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() = default;

BOOL CDialog::InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent)
{
    m_modalTemplate = dialogTemplate;
    m_parent = parent;
    return dialogTemplate != nullptr;
}

INT_PTR CDialog::DoModal()
{
    HWND parent = m_parent ? m_parent->m_hWnd : nullptr;
    auto parameter = reinterpret_cast<LPARAM>(this);
    m_modal = true;
    m_made = false;
    INT_PTR result = -1;
    if (m_modalTemplate != nullptr)
        result = DialogBoxIndirectParamA(AfxGetInstanceHandle(), m_modalTemplate, parent, &DialogProc, parameter);
    else if (m_templateId != 0)
        result = DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_templateId), parent, &DialogProc,
                                 parameter);
    m_modal = false;
    // A refused owner ends the run with 0 before any window exists.
    return m_made ? result : -1;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    m_templateId = templateId;
    m_parent = parent;
    HWND window = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId),
                                     parent ? parent->m_hWnd : nullptr, &DialogProc, reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

BOOL CDialog::CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent)
{
    m_parent = parent;
    if (dialogTemplate == nullptr)
        return FALSE;
    HWND window = CreateDialogIndirectParamA(AfxGetInstanceHandle(), dialogTemplate, parent ? parent->m_hWnd : nullptr,
                                             &DialogProc, reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

void CDialog::EndDialog(int result)
{
    if (m_hWnd == nullptr)
        return;
    if (m_modal)
        ::EndDialog(m_hWnd, result);
    else
        ShowWindow(SW_HIDE);
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Attach(window);
        dialog->m_made = true;
        return dialog->OnInitDialog();
    }
    CWnd* object = CWnd::FromHandlePermanent(window);
    if (object == nullptr)
        return FALSE;
    LRESULT result = 0;
    const BOOL handled = object->OnWndMsg(message, wParam, lParam, &result);
    if (message == WM_NCDESTROY) {
        object->Detach();
        object->PostNcDestroy();
        return handled;
    }
    if (!handled)
        return FALSE;
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}
