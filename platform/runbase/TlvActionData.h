// A module's registration with the host (record type 132).
#pragma once

#include <windows.h>

#include <string>

class CTlvActionData {
public:
    int m_moduleType = 0;
    std::string m_name; // display name
    DWORD m_moduleClass = 0; // the host's class word (the edit module sends 0x1000000)
    DWORD m_viewKind = 0; // the kind of view the module shows in
    BYTE m_enabled = 0; // the edit module sends 1
};
