// Reads spans of source rows for neighbourhood filters: positions outside
// the image read the nearest edge pixel, and inside it a whole run of the
// cursor's current tile is taken at once.
#pragma once

#include "filters/frame/TlEdgeMapping.h"
#include "filters/frame/TlTilePixelCursor.h"
#include "kelvra/KelvraError.h"

#include <algorithm>

class CTlClampedRows {
public:
    // Six tiles stay locked: the tiles a span crosses and those of the rows
    // next to it.
    CTlClampedRows(IKelvraDataSource* source, long width) : m_cursor(0, source, 6), m_width(width)
    {
        m_cursor.SetEdgeModes(kTlEdgeClamp, kTlEdgeClamp);
    }

    // Calls `pixel(i, sample)` for x = from + i, from <= x < to, with the
    // first sample of the pixel that (x, y) reads. Errors of the cursor come
    // back untagged.
    template <typename PixelFn>
    IKelvraError* Read(long y, long from, long to, PixelFn&& pixel)
    {
        long x = from;
        while (x < to) {
            if (IKelvraError* error = m_cursor.MoveTo(x, y))
                return error;
            const unsigned char* sample = m_cursor.Sample();
            if (!sample) // an empty image has no edge pixel to read
                return KELVRA_ERROR(nullptr, 0, kKelvraNotReady);
            long run = 1;
            if (x >= 0 && x < m_width)
                run = std::min(m_cursor.PixelsToRight() + 1, std::min(to, m_width) - x);
            const long step = m_cursor.PixelStep();
            for (long i = 0; i < run; ++i, ++x, sample += step)
                pixel(x - from, sample);
        }
        return nullptr;
    }

private:
    CTilePixelCursor m_cursor;
    long m_width;
};
