// The output tone: the develop block's tone code picks the curve that turns
// the developed linear values into rendered ones.
#pragma once

#include <cstdint>

constexpr int kSigcoreToneEntries = 4096;

// One 12-bit output value per linear 12-bit value, for `toneCode`.
struct SigcoreToneTable {
    std::uint16_t entry[kSigcoreToneEntries];
};

void SigcoreBuildTone(int toneCode, SigcoreToneTable* table);
