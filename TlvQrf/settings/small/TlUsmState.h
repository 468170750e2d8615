// One sharpening entry. It only ever stands inside the sharpening list, so
// its stored form has no length word.
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>

class CTlUsmState : public ITlState {
public:
    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    // Only the first two values decide.
    bool IsEqual(const CTlUsmState& other) const { return value1 == other.value1 && value2 == other.value2; }

    // What the sharpening reads of the fields: the hue band it works on, its
    // amount, threshold and radius (both in 0.2 units) and a further value.
    int RangeBand() const { return value1; }
    std::int16_t Amount() const { return static_cast<std::int16_t>(value2); }
    std::uint16_t Threshold() const { return value3; }
    std::uint16_t Radius() const { return kind; }
    void SetSharpening(std::int16_t amount, std::uint16_t radius, std::uint16_t threshold)
    {
        value2 = static_cast<std::uint16_t>(amount);
        kind = radius;
        value3 = threshold;
    }

    std::uint16_t value1 = 0;
    std::uint16_t value2 = 0;
    std::uint16_t value3 = 0;
    std::uint16_t kind = 5;
    std::uint8_t flag = 0;
};
