// The high-quality demosaicing: a luminance estimated straight from the
// mosaic along the local edge direction and sharpened, two colour-
// difference planes smoothed by how busy the colour is locally, and red,
// green and blue rebuilt from them. Needs 11 samples of the block on every
// side of the rectangle it colours.
#pragma once

#include "filters/debayer/TlMosaicPlane.h"
#include "kelvra/KelvraTypes.h"

#include <cstdint>
#include <vector>

enum : long { kTlHQMargin = 11 };

// Thresholds from the three levels of the tuning block.
struct TlHQThresholds {
    std::int32_t direction;   // horizontal against vertical
    std::int32_t diagonal;    // one diagonal against the other
    std::int32_t refined;     // same-colour gradients where colour is busy
    std::int32_t activityLow;
    std::int32_t activityHigh;
};
TlHQThresholds TlHQThresholdsFor(const std::int32_t (&tuning)[9]);

// Working planes of one block, reused from block to block.
struct CTlHQScratch {
    std::vector<std::int32_t> gradients[4]; // horizontal, vertical, diagonal one, diagonal two
    std::vector<std::uint8_t> codes;
    std::vector<std::int32_t> diffs[2];     // own colour - green, x16: red sites, blue sites
    std::vector<std::int32_t> estimates[2]; // red - green, blue - green, x64
    std::vector<std::int32_t> activity;
    std::vector<std::uint8_t> activityClass;
    std::vector<std::int32_t> sameColour[2]; // horizontal, vertical
    std::vector<std::uint8_t> refined;
    std::vector<std::int32_t> luma;         // x16
};

void TlDemosaicHQ(const CTlMosaicPlane& raw, const KelvraRect& inner, const TlHQThresholds& thresholds,
                  CTlHQScratch& scratch, CTlRgbPlane& rgb);
