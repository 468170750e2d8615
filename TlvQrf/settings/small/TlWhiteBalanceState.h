// White balance: two channel gains, or a light-source preset and a colour
// temperature, selected by the mode.
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>

class CTlWhiteBalanceState : public ITlState {
public:
    // 1 gains, 2 as shot (the at-default state), 3 preset and temperature,
    // 4 temperature from the preset alone.
    enum Mode : std::int32_t { kModeGains = 1, kModeAsShot = 2, kModeTemperature = 3, kModePreset = 4 };

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsEqual(const CTlWhiteBalanceState& other) const;
    bool IsDefault() const { return mode == kModeAsShot; }
    void Reset() { *this = CTlWhiteBalanceState(); }

    double firstGain = 0.0;
    double secondGain = 0.0;
    std::int32_t mode = kModeGains;
    std::int32_t preset = 0;
    std::uint16_t temperature = 0;
    std::uint16_t further = 0;
    std::uint8_t flag = 0;
};
