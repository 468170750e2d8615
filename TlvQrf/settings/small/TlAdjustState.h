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
