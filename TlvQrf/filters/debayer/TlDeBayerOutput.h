// Where output pixels come from in the demosaiced source, and how they are
// written: one source pixel each, or, in pixel-aspect mode, four source
// columns to three output columns and two source rows to three output
// rows. Every output pixel is a function of its own position, so tiles of
// any size give the same pixels.
#pragma once

#include "filters/debayer/TlMosaicPlane.h"
#include "kelvra/KelvraTypes.h"

struct CTlDeBayerOutput {
    bool aspect = false;
    long left = 0; // of the output rectangle
    long top = 0;

    // The demosaiced source pixels (source coordinates) that the output
    // pixels of `toFill` read.
    KelvraRect SourceAreaFor(const KelvraRect& toFill) const;
    // Writes `toFill` (output coordinates) into a tile buffer whose first
    // byte is output pixel (full.left, full.top). `rgb` holds the
    // demosaiced source from (originX, originY) on.
    void Write(const CTlRgbPlane& rgb, long originX, long originY, const KelvraRect& toFill, const KelvraRect& full,
               unsigned char* buffer, long rowBytes) const;
};
