// Four-character codes held as 32-bit values, the first character in the
// highest byte, as the movie toolkit and the stored settings keep them.
#pragma once

#include <cstdint>

constexpr std::uint32_t TlFourCC(const char (&text)[5])
{
    return (std::uint32_t(std::uint8_t(text[0])) << 24) | (std::uint32_t(std::uint8_t(text[1])) << 16) |
           (std::uint32_t(std::uint8_t(text[2])) << 8) | std::uint32_t(std::uint8_t(text[3]));
}

// Transition kinds of the show.
constexpr std::uint32_t kTransitionNone = TlFourCC("    ");
constexpr std::uint32_t kTransitionRandom = TlFourCC("Tlrd");
constexpr std::uint32_t kEffectWipe = TlFourCC("smpt");
constexpr std::uint32_t kEffectIris = TlFourCC("smp2");
constexpr std::uint32_t kEffectSlide = TlFourCC("slid");
constexpr std::uint32_t kEffectDissolve = TlFourCC("dslv");
