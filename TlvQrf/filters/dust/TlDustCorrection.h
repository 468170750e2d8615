// The dust filter's pixel work: the gain that brightens a pixel whose mask
// byte says how much light the dust let through (in 128ths), and the row
// routines that apply it to 8- and 16-bit grey and RGB rows, on the values
// as they are or through the map's tone tables.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstdint>

// Gain of mask byte b: 1 + multiplier / 2^shift, close to 128 / b; the
// multiplier always lies in 32768..65535 (b = 0 takes the largest gain).
struct TlDustGain {
    std::uint8_t shift;
    std::uint8_t pad;
    std::uint16_t multiplier;
};

constexpr int kDustGainEntries = 128;
// Mask bytes of this or more leave a pixel alone.
constexpr unsigned kDustUntouched = 128;

const TlDustGain* GetDustGainTable();

// The map's tone table pair: forward maps a pixel value to a linear one,
// inverse (65536 entries) maps it back.
struct TlDustTones {
    const std::uint16_t* forward = nullptr;
    const std::uint16_t* inverse = nullptr;
};

// Corrects `count` pixels of one row, from `source` into `destination`
// (which may be the same), by the mask bytes of those pixels.
using TlDustRowRoutine = void (*)(long count, const std::uint8_t* mask, const TlDustTones& tones,
                                  const void* source, void* destination);

// The routine for a format (8- or 16-bit grey or RGB) and mode; null for
// any other format.
TlDustRowRoutine ChooseDustRowRoutine(KelvraPixelFormat format, bool direct);
