// Colour-filter-array patterns and the sensor model that turns the scene
// into a raw mosaic: 12-bit values in 16-bit samples, each site seeing one
// filter colour, divided by the as-shot multipliers of its channel.
#pragma once

#include "QrfScene.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum class QrfPattern { RGGB, BGGR, GRBG, GBRG, YCGM };

// Gains that white-balance the raw data: multiplying the red and blue raw
// values by them gives back the scene's colour.
struct QrfGains {
    double red = 2.0;
    double blue = 1.5;
};

bool QrfParsePattern(const std::string& name, QrfPattern* pattern);
const char* QrfPatternName(QrfPattern pattern);
// The 2 x 2 colour codes (TIFF/EP: 0 red, 1 green, 2 blue, 3 cyan,
// 4 magenta, 5 yellow), row by row.
std::array<std::uint8_t, 4> QrfPatternCodes(QrfPattern pattern);
// The value of tag 0xA302: dimensions 2 and 2 as big-endian 16-bit words,
// then the four codes.
std::vector<std::uint8_t> QrfPatternTag(QrfPattern pattern);

// The raw value (0 to 4095) the site at (x, y) records.
std::uint16_t QrfSensorValue(const CQrfScene& scene, QrfPattern pattern, const QrfGains& gains, long x, long y);
// A row of raw values, `width` sites from column 0, sampling the scene at
// `scale` times the site's position (an alternative mosaic of a smaller
// size sees the same scene).
void QrfMosaicRow(const CQrfScene& scene, QrfPattern pattern, const QrfGains& gains, long y, long width, long scale,
                  std::uint16_t* row);
