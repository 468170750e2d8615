// The hue band of the unsharp-mask filter: how much of the sharpening a
// pixel of a given hue receives.
#pragma once

#include "filtrix/UnsharpMaskParams.h"

// Every value finite and in [0, 1].
bool UsmBandIsValid(const UsmBand& band);
// True when every hue gets the full effect.
bool UsmBandCoversAll(const UsmBand& band);
// 1 inside the band, 0 outside its soft edges, linear in between; `hue`
// is a position on the circle [0, 1).
double UsmBandWeight(const UsmBand& band, double hue);
