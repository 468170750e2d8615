// The vignette filter's settings: one strength value.
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>

class CTlVignetteState : public ITlState {
public:
    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsEqual(const CTlVignetteState& other) const { return value == other.value; }
    // At defaults means switched off (0), not the constructed 80.
    bool IsDefault() const { return value == 0; }
    void Reset() { *this = CTlVignetteState(); }

    std::uint16_t value = 80;
};
