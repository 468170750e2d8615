// A sub-panel a module asks the host for (record type 137).
#pragma once

#include <windows.h>

#include <string>

class CTlvSubPanelData {
public:
    int m_number = 0; // 1 or 2
    std::string m_name;
    DWORD m_style = 0;
};
