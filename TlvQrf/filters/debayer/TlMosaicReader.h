// Reads a block of a raw mosaic source into companded samples. Positions
// outside the image read the nearest sample of the same colour (the edge
// mode that keeps parity), so a block reads the same whichever tile asks.
#pragma once

#include "filters/debayer/TlMosaicPlane.h"
#include "kelvra/KelvraData.h"

// `block` is in source coordinates; `tables` are the red, green and blue
// tone tables (4096 entries; samples above 4095 read as 4095). Errors of
// the source come back untagged.
IKelvraError* TlReadMosaicBlock(IKelvraDataSource* source, long sourceWidth, long sourceHeight,
                                const KelvraRect& block, const TlBayerPhases& phases,
                                const std::int32_t* const (&tables)[3], CTlMosaicPlane& out);
