// A switch with one accompanying value.
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>

class CTlFlagState : public ITlState {
public:
    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsEqual(const CTlFlagState& other) const;
    // This record never reports itself at its defaults.
    bool IsDefault() const { return false; }
    void Reset() { *this = CTlFlagState(); }

    bool flag = false;
    std::int32_t value = 3;
};
