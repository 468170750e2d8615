// The two values of an image's parameter set that the raw helpers read.
#pragma once

#include <cstdint>

struct STlRawDevelopment {
    std::uint16_t modelCode = 0;
    bool rawDevelopment = false; // the raw data is developed by the library
};
