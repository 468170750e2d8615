// The development of a raw picture for its dust map: the high-quality
// De-Bayer filter set up from the picture's shooting values.
#pragma once

#include "filters/debayer/TlDeBayerHQFilter.h"
#include "filters/dust/TlDustShooting.h"

// Sets up `filter` for a mosaic of width x height: the delivered rectangle
// by curve id, no pixel-aspect stretch, the colour pattern, the tuning block
// for the sensitivity and the two colour gains.
IKelvraError* SetupDustDeBayer(CDeBayerHQFilter& filter, const TlDustShooting& shooting, long width, long height);
