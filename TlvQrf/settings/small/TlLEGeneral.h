// Four general values.
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>

class CTlLEGeneral : public ITlState {
public:
    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    void Reset() { *this = CTlLEGeneral(); }

    std::uint16_t values[4] = {0, 0, 0, 0};
};
