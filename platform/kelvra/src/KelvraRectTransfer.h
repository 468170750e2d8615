// Rectangle copies between caller buffers and tiled sources; the public
// pair is declared in kelvra/KelvraImage.h.
#pragma once

#include "kelvra/KelvraImage.h"

// Writes `rect` of `image` from `buffer` tile by tile without telling the
// image's destinations; `wrote` says whether any tile was changed, so that
// the caller can announce it even after a later tile failed.
IKelvraError* KelvraWriteTiles(IKelvraImage* image, const KelvraRect& rect, const void* buffer, long rowBytes,
                               bool* wrote);
