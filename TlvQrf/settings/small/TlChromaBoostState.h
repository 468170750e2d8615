// The chroma booster's settings: an amount of 0 to 100 and a switch.
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>

class CTlChromaBoostState : public ITlState {
public:
    CTlChromaBoostState() = default;
    // Copies amount (clamped) and switch; the working value stays.
    CTlChromaBoostState(const CTlChromaBoostState& other);
    CTlChromaBoostState& operator=(const CTlChromaBoostState& other);

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsEqual(const CTlChromaBoostState& other) const;
    bool IsDefault() const { return amount == 0; }
    void Reset();

    static std::int32_t ClampAmount(std::int32_t amount);

    std::int32_t amount = 0;
    // Scratch value of the filter parameters; neither stored nor copied.
    std::int32_t working = -1;
    bool enabled = true;
};
