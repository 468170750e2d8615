// The per-hue chroma thresholds that the LCH editor and the chroma booster
// read from their calibration curve files in the shared profiles folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Error codes of a calibration load besides out of memory (1005) and a
// failure of the curve classes (1007).
enum : long {
    kTlErrorCalibrationSize = 3500,       // the contents do not account for the file's length
    kTlErrorCalibrationUnreadable = 3501, // the file cannot be opened, sized or read
};

// One threshold per hue: 65,536 entries of 16 bits.
constexpr int kTlThresholdBits = 16;
constexpr std::size_t kTlThresholdEntries = std::size_t(1) << kTlThresholdBits;

// Loads `fileName` as the calibration curve of a temporary curve container
// and samples it into `table`. Answers 0, or the error code of the failure
// with `table` left as it was.
long TlLoadCalibrationThresholds(const char* fileName, std::vector<std::uint16_t>& table);
