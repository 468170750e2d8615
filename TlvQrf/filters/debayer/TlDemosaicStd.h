// The standard-quality demosaicing: green interpolated along the smaller
// gradient, then red and blue from colour differences to green. Works on
// the companded samples of a mosaic block and needs 3 samples of it on
// every side of the rectangle it colours.
#pragma once

#include "filters/debayer/TlMosaicPlane.h"
#include "kelvra/KelvraTypes.h"

enum : long { kTlStdMargin = 3 };

// Colours `inner` (local coordinates, at least kTlStdMargin inside the
// block) into `rgb`, a plane of the block's size. `green` is scratch of
// the block's size.
void TlDemosaicStd(const CTlMosaicPlane& raw, const KelvraRect& inner, std::vector<std::int32_t>& green,
                   CTlRgbPlane& rgb);
