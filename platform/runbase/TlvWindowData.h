// A window the host hands to a module: the parent of the module's frame, a
// sub-panel, or the owner of a receiver's message boxes.
#pragma once

#include <windows.h>

class CTlvWindowData {
public:
    HWND m_window = nullptr;
};
