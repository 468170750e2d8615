// The tiles of a source that cover a rectangle: the answer of MapRect.
#pragma once

#include "kelvra/KelvraData.h"

class CKelvraTileGrid final : public IKelvraTileGrid {
public:
    // The grid of `tileSize` tiles covering `rect`, which must already be
    // clipped to the source; an empty rectangle gives a grid of no tiles.
    static IKelvraError* Create(const KelvraRect& rect, long tileSize, IKelvraTileGrid** grid);

    long GetRowCount() const override { return m_rows; }
    long GetColumnCount() const override { return m_columns; }
    KelvraRect GetRect() const override { return m_rect; }
    long GetFirstColumn() const override { return m_firstColumn; }
    long GetFirstRow() const override { return m_firstRow; }
    void Release() override { delete this; }

private:
    CKelvraTileGrid(const KelvraRect& rect, long tileSize);

    KelvraRect m_rect;
    long m_firstColumn = 0;
    long m_firstRow = 0;
    long m_columns = 0;
    long m_rows = 0;
};
