// Two values and a switch; the oldest stored form kept a code in place of
// the first value.
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>

class CTlTripleValueState : public ITlState {
public:
    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    bool IsEqual(const CTlTripleValueState& other) const;
    bool IsDefault() const { return first == 0 && second == 0 && !flag; }
    void Reset() { *this = CTlTripleValueState(); }
    // The holders clear the second value when its feature is not available.
    void SetSecondAvailable(bool available);

    std::int32_t first = 0;
    std::int32_t second = 0;
    bool flag = false;
};
