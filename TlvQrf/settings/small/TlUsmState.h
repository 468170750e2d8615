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

    std::uint16_t value1 = 0;
    std::uint16_t value2 = 0;
    std::uint16_t value3 = 0;
    std::uint16_t kind = 5;
    std::uint8_t flag = 0;
};
