// One cell of a strip bitmap: the picture of a registered function, control
// or tool in one state. The bitmap belongs to the module that registers it.
#pragma once

#include <windows.h>

class CTlvBitmapData {
public:
    HBITMAP m_bitmap = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_left = 0;
    int m_top = 0;
};
