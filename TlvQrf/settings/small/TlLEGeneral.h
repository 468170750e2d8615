// Four general values. The raw development reads the third as the channel
// mixer's kind (1 or 2 turn the mixer on, 2 also the toning table) and the
// fourth as its sharpening level (1 to 3).
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>

class CTlLEGeneral : public ITlState {
public:
    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    void Reset() { *this = CTlLEGeneral(); }

    int MixerKind() const { return values[2]; }
    int MixerSharpeningLevel() const { return values[3]; }

    std::uint16_t values[4] = {0, 0, 0, 0};
};
