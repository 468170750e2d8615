// A function, control or tool button that a module registers with the host
// (record type 136; sent as arrays). Words a module does not set keep these
// defaults.
#pragma once

#include "runbase/TlvBitmapData.h"

#include <windows.h>

#include <initializer_list>
#include <map>
#include <string>

class CTlvFunctionData {
public:
    // Cells of one strip bitmap, side by side from `firstLeft`: the n-th
    // state gets the n-th cell. A state given twice keeps its last cell.
    void AddBitmapStrip(HBITMAP bitmap, int cellWidth, int cellHeight, std::initializer_list<DWORD> states,
                        int firstLeft = 0);
    // The cell for `state`, or null.
    const CTlvBitmapData* FindBitmap(DWORD state) const;

    int m_id = 0; // 1 marks a separator
    DWORD m_style = 0; // 1 a button; 12 a button that also opens a menu
    std::string m_name; // display name or tooltip
    int m_ownerModule = 0; // module type that owns the function; 0 for the sender
    std::map<DWORD, CTlvBitmapData> m_bitmaps; // by state; empty for no picture
    DWORD m_group = 0; // the host's grouping of buttons (1 or 3)
    DWORD m_flags = 0;
    DWORD m_layout[3] = {}; // layout words of a control that shows text
};
