// The parameter block of the test filter plug-in, which tests read and write
// through the host, and the rule it filters by.
#pragma once

#include <cstdint>

struct TlTestPluginParameters {
    std::uint32_t magic;
    // Percent of the way from each sample to its inverse.
    std::uint16_t amount;
    // The output layout it asks for (kPsLayoutInterleaved or kPsLayoutPlanar).
    std::uint8_t layout;
    // The input rate it asks for at selector 12 (1 or more).
    std::uint8_t inputRate;
    // When non-zero, every finish counts itself in `finishes`.
    std::uint8_t countFinishes;
    // When non-zero, selector 12 asks for an input far too wide for memory.
    std::uint8_t askTooWide;
    std::uint8_t reserved[2];
    std::uint32_t finishes;
};

constexpr std::uint32_t kTlTestPluginMagic = 0x54496E76; // 'TInv'
constexpr std::uint16_t kTlTestPluginDefaultAmount = 100;

// The filtered sample for `value` of `maximum` (255 or 65535).
inline std::uint32_t TlTestPluginFilter(std::uint32_t value, std::uint32_t maximum, std::uint32_t amount)
{
    const std::int64_t change = (std::int64_t(maximum) - 2 * std::int64_t(value)) * amount / 100;
    return std::uint32_t(std::int64_t(value) + change);
}

// What the plug-in logs: the selector when its entry is called, and this
// plus the selector when the entry returns.
constexpr int kTlTestPluginExit = 1000;
