// The effect description a transition hands the movie toolkit, and which
// of its two pictures is source A.
#pragma once

#include <cstdint>
#include <vector>

struct EffectDescription {
    std::vector<std::uint8_t> atoms;
    // True when source A is the incoming picture (and the run is reversed).
    bool swapped = false;
};

// For an effect kind ("smpt", "smp2", "slid", "dslv") and its parameter.
EffectDescription MakeEffectDescription(std::uint32_t kind, int parameter);
