// The tag and codes of the dust engines' and the dust filter's errors.
#pragma once

#include "kelvra/KelvraError.h"

constexpr KelvraTag kDustTag = KelvraFourCC('d', 'u', 's', 't');
// The error category of zlib results in a chain.
constexpr std::uint32_t kDustZlibCategory = KelvraFourCC('z', 'l', 'i', 'b');

enum : long {
    kDustBadRecord = 1003, // bad record, object not ready, wrong size; no usable map
    kDustBufferTooSmall = 1004,
};
