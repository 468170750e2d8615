// The constant curves of the fixed toning stage.
#pragma once

#include <cstdint>

constexpr int kTlvFixedToneEntries = 256;

// Channel 0 to 2; null for any other.
const std::uint16_t* FixedToneTable(int channel);
