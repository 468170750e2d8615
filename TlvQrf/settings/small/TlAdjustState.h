// The adjustment record: an exposure-like value with its companion settings.
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>

class CTlAdjustState : public ITlState {
public:
    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsEqual(const CTlAdjustState& other) const;
    bool IsDefault() const { return IsEqual(CTlAdjustState()); }
    void Reset() { *this = CTlAdjustState(); }

    // What the raw development reads of the fields.
    double ExposureCompensation() const { return value; } // EV
    int ToneMode() const { return first; }                // 0 as shot, 1 to 6
    void SetToneMode(int toneMode) { first = static_cast<std::uint16_t>(toneMode); }
    // 0 as shot, 1 and 4 to 6 sRGB, 2 Adobe RGB, 3 NTSC.
    int ColourSpaceChoice() const { return second; }
    void SetColourSpaceChoice(int choice) { second = static_cast<std::uint16_t>(choice); }
    int SharpeningLevel() const { return third; }         // 0 as shot, 1 to 6
    bool HueSet() const { return firstFlag != 0; }
    int HueLevel() const { return mode; }                 // 3 is neutral
    bool SaturationCompensationSet() const { return secondFlag != 0; }
    int SaturationCompensationLevel() const { return extra; }
    int SaturationMode() const { return fourth; }         // 0 as shot, 1 low, 2 normal, 3 high

    double value = 0.0;
    std::uint16_t first = 0;
    std::uint16_t second = 0;
    std::uint16_t third = 0;
    std::uint8_t firstFlag = 0;
    std::int32_t mode = 3;
    std::uint8_t secondFlag = 0;
    std::int32_t extra = 0;
    std::uint16_t fourth = 0;
};
