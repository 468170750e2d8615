// The stored body of a chroma-by-hue curve, which is also the whole of a
// calibration file: u16 version 1, u16 point count n, n point records, the
// offset (double) and one reserved byte; 13 + 24 n bytes, little-endian.
#pragma once

#include "settings/curves/TlBumpPoint.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace TlBumpListFormLayout {
constexpr std::uint16_t kVersion = 1;
constexpr int kCountOffset = 2;
constexpr int kPointsOffset = 4;
constexpr int kFixedSize = 13; // version, count, offset, reserved byte
// The count is a u16: longer lists store their first 65535 points.
constexpr std::size_t kMaxPoints = 65535;
constexpr std::size_t kMaxSize = kFixedSize + 24 * kMaxPoints;
}

// 13 + 24 n for the points that are stored.
int BumpListFormSize(std::size_t pointCount);

// Writes the body into `size` bytes: each field only when the block reaches
// one byte past its end, so a block of exactly the full size holds every
// field; the reserved byte is written as 0 when it fits. Returns the full size.
int WriteBumpListForm(unsigned char* buffer, int size, const std::vector<TlBumpPoint>& points, double offset);

// The bytes of a calibration file holding `points` and `offset`.
std::vector<unsigned char> ComposeCalibrationFile(const std::vector<TlBumpPoint>& points, double offset);
