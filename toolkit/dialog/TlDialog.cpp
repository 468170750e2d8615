#include "dialog/TlDialog.h"

namespace {

constexpr short kTemplatePosition = 50;

} // namespace

CTlDialog::CTlDialog(CWnd* owner) noexcept : m_owner(owner) {}

CTlDialog::CTlDialog(UINT templateId, CWnd* owner) noexcept : CDialog(templateId, owner), m_owner(owner) {}

INT_PTR CTlDialog::DoModal()
{
    m_template = CTemplate{};
    m_template.header.style = kTemplateStyle;
    m_template.header.x = kTemplatePosition;
    m_template.header.y = kTemplatePosition;
    CWnd* owner = m_owner ? m_owner : AfxGetMainWnd();
    if (m_templateId == 0)
        InitModalIndirect(&m_template.header, owner);
    else
        m_parent = owner;
    const INT_PTR result = CDialog::DoModal();
    return result == -1 ? IDCANCEL : result;
}
