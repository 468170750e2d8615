// The 12-bit channel tables that apply the as-shot white balance to the
// raw mosaic before it is demosaiced.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kTlGainTableBits = 12;
constexpr std::uint16_t kTlGainTableTop = (1u << kTlGainTableBits) - 1;

struct STlGainTables {
    std::vector<std::uint16_t> red;
    std::vector<std::uint16_t> green; // the identity
    std::vector<std::uint16_t> blue;
};

// Entry i of a channel: i x multiplier, truncated and held to [0, 4095]; a
// multiplier that is not a positive number counts as 1.0. False when
// memory runs out (the tables are then empty).
bool BuildGainTables(double redMultiplier, double blueMultiplier, STlGainTables& tables);
