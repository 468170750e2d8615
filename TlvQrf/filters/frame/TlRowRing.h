// Rolling rows for the walk of one tile: a fixed number of rows of cells,
// the oldest dropped as a new one comes in. New storage is zero.
#pragma once

#include "kelvra/KelvraData.h"

#include <cstddef>
#include <vector>

template <typename Cell>
class CTlRowRing {
public:
    CTlRowRing(int rows, long cellsPerRow)
        : m_rows(rows), m_stride(cellsPerRow), m_cells(std::size_t(rows) * std::size_t(cellsPerRow))
    {
    }
    // Row k, 0 the oldest.
    Cell* Row(int k) { return &m_cells[std::size_t(((m_added + k) % m_rows) * m_stride)]; }
    // The storage of the oldest row, which becomes the newest.
    Cell* Next()
    {
        Cell* row = Row(0);
        ++m_added;
        return row;
    }

private:
    int m_rows;
    long m_stride;
    long m_added = 0;
    std::vector<Cell> m_cells;
};

// The row walk of a filter with rolling rows: `feed(y)` for the `prime`
// rows above the rectangle, then for each of its rows `feed(y)` and
// `make(y)`. Stops at the first error of a feed.
template <typename Feed, typename Make>
IKelvraError* TlWalkRollingRows(const KelvraRect& rect, long prime, Feed&& feed, Make&& make)
{
    for (long y = rect.top - prime; y < rect.top; ++y) {
        if (IKelvraError* error = feed(y))
            return error;
    }
    for (long y = rect.top; y < rect.bottom; ++y) {
        if (IKelvraError* error = feed(y))
            return error;
        make(y);
    }
    return nullptr;
}
