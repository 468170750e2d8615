// One message as the host recorded it: the nine words, and a copy of what
// word 3 pointed at when it carried a std::string (record type 48) or
// integers (record type 2, word 4 of them).
#pragma once

#include "host/api/TlvHostApi.h"

#include <array>
#include <string>
#include <vector>

using TlvWords = std::array<TlvWord, 9>;

struct TlHostCall {
    TlvWords words{};
    std::string text;
    std::vector<long> values;
    unsigned long answer = 0;
};
