// A save request (record type 257): how the host writes an edited item back.
#pragma once

#include <windows.h>

class CTlvSaveData {
public:
    DWORD m_pixelFormat = 0; // TLV_PIXEL_FORMAT_RGB24 for exports
    DWORD m_outputKind = 0;  // the file kind to write
    DWORD m_saveMode = 0;    // the host's save mode (4 or 5)
};
