// One message as the host recorded it: the nine words, and a copy of the
// text when word 3 carried a std::string (record type 48).
#pragma once

#include "host/api/TlvHostApi.h"

#include <array>
#include <string>

using TlvWords = std::array<TlvWord, 9>;

struct TlHostCall {
    TlvWords words{};
    std::string text;
    unsigned long answer = 0;
};
