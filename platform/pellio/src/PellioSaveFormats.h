// What the saver writes for each format code it can be begun with.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstdint>

enum class PellioContainer {
    Qrf,    // TIFF-structured raw file: every image and every tag
    Tiff,   // plain TIFF: the main image, renditions and the TIFF and Exif tags
    Direct, // fixed-size 8-bit TIFF
    Jpeg,
};

struct PellioSaveFormat {
    std::uint32_t format;     // the code the saver was begun with
    std::uint32_t storedCode; // the code the file records (0: none)
    PellioContainer container;
    std::uint32_t imageCount; // renditions the format takes
};

// The rule of `format`, or null when the saver does not write it.
const PellioSaveFormat* PellioFindSaveFormat(std::uint32_t format);
// The pixel format an image of `source` format is stored in; false when the
// format cannot store it.
bool PellioStoredFormat(const PellioSaveFormat& rule, KelvraPixelFormat source, KelvraPixelFormat* stored);
// TIFF compression: deflate for the deflate raw format and, with option bit
// 0, for TIFF; none otherwise.
std::uint16_t PellioCompression(const PellioSaveFormat& rule, std::uint32_t option);
// The fixed output size of the direct format: option bits 16-31 the width
// and 0-15 the height when both are set, else 640 x 480.
void PellioFixedSize(std::uint32_t option, long* width, long* height);
// JPEG quality: options 0 to 4 pick 40, 60, 75, 90 or 100; 5 to 100 are the
// quality itself; larger ones give 90.
int PellioJpegQuality(std::uint32_t option);
