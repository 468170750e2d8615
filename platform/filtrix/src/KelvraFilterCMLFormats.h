// Colour spaces of the pixel-format words the colour filter and its engine
// read and write, and the words for a space at a bit depth.
#pragma once

#include "kelvra/KelvraTypes.h"

enum class CmlSpace { kNone, kRGB, kGrey, kCMYK, kLab, kLCh };

// kNone for words that carry no colour space the engine converts (bitmap,
// raw data, unknown layouts) and for depths other than 8 and 16 bits.
CmlSpace CmlSpaceOf(KelvraPixelFormat format);
// 0 when the space is kNone or `bits` is neither 8 nor 16.
KelvraPixelFormat CmlFormatOf(CmlSpace space, long bits);
unsigned CmlChannelsOf(CmlSpace space);
