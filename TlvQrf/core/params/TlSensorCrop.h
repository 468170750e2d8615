// The part of a camera's sensor that its pictures show.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstdint>

// The crop of the sensor of `modelCode` (the whole sensor for cameras
// without a known crop), each edge and size divided by `divisor` for a
// reduced mosaic. A divisor below 1 counts as 1.
KelvraRect SensorCrop(std::uint16_t modelCode, std::uint32_t sensorWidth, std::uint32_t sensorHeight, long divisor);
