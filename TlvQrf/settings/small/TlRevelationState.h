// The Revelation filter's settings: three small values.
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>

class CTlRevelationState : public ITlState {
public:
    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsEqual(const CTlRevelationState& other) const;
    // Only the first two values decide; the third is not looked at.
    bool IsDefault() const { return first == 0 && second == 0; }
    void Reset() { *this = CTlRevelationState(); }

    std::int16_t first = 51;
    std::int16_t second = 51;
    std::int16_t third = 190;
};
