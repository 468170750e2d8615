// A module's menu, registered with the host (record type 133).
#pragma once

#include <windows.h>

class CTlvMenuData {
public:
    HMENU m_menu = nullptr; // owned by the module
};
