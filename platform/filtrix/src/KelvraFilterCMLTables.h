// The colour filter's look-up tables and the settings a tile is made with.
#pragma once

#include "filtrix/KelvraFilterCML.h"

#include <vector>

constexpr KelvraTag kCmlFilterTag = KelvraFourCC('C', 'M', 'L', ' ');

struct CKelvraFilterCML::CTables {
    bool enabled = true;
    unsigned inputBits = 0;
    unsigned outputBits = 0;
    std::vector<std::uint16_t> channels[kMaxTableChannels]; // empty: that channel has no table

    // Checks and copies what SetLUT was given; `*tables` stays null when
    // there are none (the side is cleared).
    static IKelvraError* Make(bool enabled, const std::uint16_t* const* tables, long inputBits, long outputBits,
                              long channels, std::shared_ptr<const CTables>* made);
    static bool Same(const CTables* a, const CTables* b);
    // Channel tables that act on pixels.
    long ActiveCount() const;
    // Looks up the first `channels` samples of each of `pixels` pixels.
    void Apply(void* row, unsigned sampleBits, unsigned channels, std::size_t pixels) const;
};

// A tile is made with one consistent copy of the settings; the engine
// reference keeps the engine alive while the tile is made.
struct CKelvraFilterCML::CSettings {
    CKelvraFilterCMLEngine::CReference engine;
    long bits[2] = {16, 16};
    std::shared_ptr<const CTables> tables[2];
};
