#include "runbase/TlvFunctionData.h"

void CTlvFunctionData::AddBitmapStrip(HBITMAP bitmap, int cellWidth, int cellHeight,
                                      std::initializer_list<DWORD> states, int firstLeft)
{
    int left = firstLeft;
    for (DWORD state : states) {
        CTlvBitmapData& cell = m_bitmaps[state];
        cell.m_bitmap = bitmap;
        cell.m_width = cellWidth;
        cell.m_height = cellHeight;
        cell.m_left = left;
        cell.m_top = 0;
        left += cellWidth;
    }
}

const CTlvBitmapData* CTlvFunctionData::FindBitmap(DWORD state) const
{
    const auto found = m_bitmaps.find(state);
    return found == m_bitmaps.end() ? nullptr : &found->second;
}
