// The tone curve a camera stores with a raw file: levels, gamma and up to
// 20 control points in a 4160-byte block.
#pragma once

#include <cstddef>

class CTlLutGroup;

constexpr std::size_t kTlCameraCurveBlockSize = 4160;

// Takes the block into the group's master element (id 0) after resetting
// the group; false, with the group reset, for a corrupt or truncated block
// or a gamma outside the element's range. Never reads past `size`.
bool ParseCameraCurve(CTlLutGroup& group, const unsigned char* block, std::size_t size);
