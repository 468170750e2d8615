// The general settings block the control-side holder keeps. It shares its id
// with CTlLEGeneral but has its own stored form: every small field as a u16,
// the rectangle as four integers, the double as it is.
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>

class CTlvZentharGeneral : public ITlState {
public:
    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    // Stored members, named by their position in the stored form.
    std::uint8_t a = 1;
    std::uint16_t b = 0;
    std::uint8_t c = 1;
    std::uint8_t d = 0;
    std::uint16_t e = 0;
    std::uint8_t f = 1;
    std::uint8_t g = 1;
    std::uint16_t h = 0;
    double rect[4] = {0.0, 0.0, 0.0, 0.0};
    std::uint8_t i = 1;
    std::uint16_t j = 0;
    std::uint8_t k = 1;
    std::uint8_t l = 0;
    double m = 0.0;
    std::uint8_t n = 1;
    std::uint16_t o = 0;

    // Members that are never stored but go with every copy.
    std::uint8_t runBytes[3] = {1, 0, 0};
    std::int32_t runValues[4] = {2, 2, 2, 2};
    std::uint8_t runSwitches[2] = {1, 1};
    double runDouble = 0.0;
    std::uint8_t runMarks[2] = {0, 0};
};
