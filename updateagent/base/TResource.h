// Texts and dialog templates of a module, in practice the language library.
#pragma once

#include "base/TWideString.h"

#include <windows.h>

class TResource {
public:
    TResource() = default;
    TResource(const TResource&) = default;
    TResource& operator=(const TResource&) = default;
    virtual ~TResource() = default;

    // A null instance is ignored.
    void SetInstance(HINSTANCE instance);
    HINSTANCE Instance() const { return m_instance; }
    void SetParent(HWND parent) { m_parent = parent; }
    void SetDialogProc(DLGPROC procedure) { m_procedure = procedure; }
    void SetParam(LPARAM param) { m_param = param; }
    void SetName(const TWideString& name) { m_name = name; }
    const TWideString& Name() const { return m_name; }

    bool LoadText(UINT id, TWideString& text) const;
    // False, without asking the system, when the procedure, the instance or the id is missing.
    bool RunModal(UINT templateId, INT_PTR& result) const;
    bool RunModeless(UINT templateId, HWND& window) const;

private:
    bool CanCreate(UINT templateId) const;

    HINSTANCE m_instance = nullptr;
    HWND m_parent = nullptr;
    DLGPROC m_procedure = nullptr;
    LPARAM m_param = 0;
    TWideString m_name;
};
