#include "base/TResource.h"

void TResource::SetInstance(HINSTANCE instance)
{
    if (instance)
        m_instance = instance;
}

bool TResource::LoadText(UINT id, TWideString& text) const
{
    if (!m_instance || id == 0)
        return false;
    return text.LoadFromTable(m_instance, id);
}

bool TResource::CanCreate(UINT templateId) const
{
    return m_procedure && m_instance && templateId != 0;
}

bool TResource::RunModal(UINT templateId, INT_PTR& result) const
{
    if (!CanCreate(templateId))
        return false;
    result = DialogBoxParamW(m_instance, MAKEINTRESOURCEW(templateId), m_parent, m_procedure, m_param);
    return true;
}

bool TResource::RunModeless(UINT templateId, HWND& window) const
{
    if (!CanCreate(templateId))
        return false;
    window = CreateDialogParamW(m_instance, MAKEINTRESOURCEW(templateId), m_parent, m_procedure, m_param);
    return window != nullptr;
}
