// The high-quality demosaicing: green interpolated at red and blue sites
// along the local edge direction (found from gradients smoothed over the
// neighbourhood, and refined where colour is busy), two colour-difference
// planes smoothed by how busy the colour is locally, and red and blue
// rebuilt as green plus those differences. Needs 10 samples of the block
// on every side of the rectangle it colours.
#pragma once

#include "filters/debayer/TlMosaicPlane.h"
#include "kelvra/KelvraTypes.h"

#include <cstdint>
#include <vector>

enum : long { kTlHQMargin = 10 };

// Thresholds from the first two levels of the tuning block.
struct TlHQThresholds {
    std::int32_t direction;   // horizontal against vertical
    std::int32_t refined;     // same-colour gradients where colour is busy
    std::int32_t activityLow;
    std::int32_t activityHigh;
};
TlHQThresholds TlHQThresholdsFor(const std::int32_t (&tuning)[9]);

// Working planes of one block, reused from block to block.
struct CTlHQScratch {
    std::vector<std::int32_t> leaning;      // horizontal less vertical gradient
    std::vector<std::uint8_t> codes;
    std::vector<std::int32_t> green;        // x16 at red and blue sites, along the first code
    std::vector<std::int32_t> diffs[2];     // own colour - green, x16: red sites, blue sites
    std::vector<std::int32_t> estimates[2]; // red - green, blue - green, x64
    std::vector<std::int32_t> across;       // the wide smoothing's first direction
    std::vector<std::int32_t> smooth[2];    // estimates smoothed over sites two apart, x16
    std::vector<std::uint32_t> activity;
    std::vector<std::uint8_t> activityClass;
    std::vector<std::int32_t> sameColourLeaning; // the same from same-colour gradients
    std::vector<std::uint8_t> refined;
};

void TlDemosaicHQ(const CTlMosaicPlane& raw, const KelvraRect& inner, const TlHQThresholds& thresholds,
                  CTlHQScratch& scratch, CTlRgbPlane& rgb);
