// A render request (record type 258): the host writes the item as a picture
// file at the request's path and size.
#pragma once

#include "runbase/TlvFilePath.h"

#include <windows.h>

class CTlvOutputData {
public:
    // The module sets the folder; the file named here is the rendition.
    CTlvFilePath m_path;
    // Scale factor of the source; 0 when width and height give the size.
    double m_scale = 0.0;
    DWORD m_width = 0;
    DWORD m_height = 0;
    DWORD m_pixelFormat = 0; // TLV_PIXEL_FORMAT_RGB24 for renditions
    DWORD m_fileFormat = 0;  // 1024 for renditions
    DWORD m_formatOption = 0;
    DWORD m_reserved = 0; // sent as 0
};
