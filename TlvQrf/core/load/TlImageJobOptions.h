// The option block of an image job, copied whole from the save request.
#pragma once

#include <cstdint>

struct TlImageJobOptions {
    char sourcePath[260] = {};
    char targetPath[260] = {};
    std::uint32_t channelLayout = 0;
    std::uint32_t fileFormat = 0;
    std::uint32_t formatOption = 0;
    std::uint32_t word = 0;
    bool directImage = false;
};
