// Tag ids the loader library itself fills or reads.
#pragma once

#include <cstdint>

enum : std::uint32_t {
    kPellioTagSoftware = 305,
    kPellioTagDateTime = 306,
    kPellioTagIptc = 33723,
    kPellioTagIcc = 34675,
    kPellioTagCfaPattern = 0xA302,
    kPellioTagPixelFormat = 0x10002,
    kPellioTagResolution = 0x10003,
};
