// A dialog laid out in code: its modal run uses a 24-byte in-memory template
// of an empty pop-up at 50, 50; the subclass makes its controls when the
// window exists (OnInitDialog) and gives it its size.
#pragma once

#include "dialog/TlCtrlParent.h"

#include "afxwin.h"

class CTlDialog : public CDialog, public CCtrlParent {
public:
    // `owner` may be null: the thread's main window then owns the dialog.
    explicit CTlDialog(CWnd* owner = nullptr) noexcept;
    // A dialog from resource `templateId` of the current resource module.
    CTlDialog(UINT templateId, CWnd* owner) noexcept;

    // The value the dialog ended with; 2 (cancel) when it could not be run.
    INT_PTR DoModal() override;

    // The template's style: pop-up, caption, system menu, modal frame. It
    // carries no font: the controls take the layout fonts.
    static constexpr DWORD kTemplateStyle = 0x80C80080;

protected:
    CWnd* m_owner;

private:
    // The header, then empty menu, class and title words.
    struct alignas(4) CTemplate {
        DLGTEMPLATE header;
        WORD menu;
        WORD windowClass;
        WORD title;
    };
    static_assert(sizeof(DLGTEMPLATE) + 3 * sizeof(WORD) == 24, "the template is 24 bytes");

    CTemplate m_template{};
};
