// The user's number settings that the exposure edit follows: the WIN.INI
// section "intl" ("sDecimal", "sThousand" of up to 4 characters each,
// "iLeadZero" default 1, "iDigits" default 2), read once per process.
#pragma once

#include <string>

struct TlRawNumberFormat {
    std::string decimal = ".";
    std::string thousand = ",";
    bool leadingZero = true;
    int digits = 2;
};

// Reads the settings now.
TlRawNumberFormat TlRawReadNumberFormat();
// The settings as the process first read them.
const TlRawNumberFormat& TlRawProcessNumberFormat();
// `value` with `decimals` decimals in the given format.
std::string TlRawFormatNumber(double value, int decimals, const TlRawNumberFormat& format);
