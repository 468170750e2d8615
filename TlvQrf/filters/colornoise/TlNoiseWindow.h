// What one strength of the colour noise reduction means: the window, the
// range of the weights and whether the colour channels are first replaced
// by a wide box mean.
#pragma once

#include <cstdint>
#include <vector>

struct TlNoiseWindow {
    int radius;        // the window is 2 radius + 1 pixels square
    double rangeWidth; // in 8-bit units: where the weights fall off
    bool boxPrePass;
};

TlNoiseWindow TlNoiseWindowFor(double strength);

// Entries in the range weight table: a difference of 16-bit values shifted
// right by 4 indexes it.
constexpr int kTlNoiseWeightCount = 4096;
// The weight of a difference of 0. 49 such weights still fit 16 bits, and
// their products with 16-bit values 32 bits.
constexpr std::uint16_t kTlNoiseWeightScale = 1337;

// Entry i = round(1337 exp(-i^2 / (256 width^2))).
void TlBuildNoiseWeights(double rangeWidth, std::vector<std::uint16_t>& table);
