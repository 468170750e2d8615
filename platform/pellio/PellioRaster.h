// Plain in-memory pictures and their metadata, as the loader library's
// codecs exchange them. Kept small and stable: the codecs only agree on
// these two records.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstdint>
#include <string>
#include <vector>

// A picture held in one block: `rowBytes` bytes per row, rows top to
// bottom. The codecs use kKelvraRGB8 (0x08060201, R G B order) and
// kKelvraGrey8 (0x08020001); the TIFF code also uses their 16-bit forms.
struct PellioRaster {
    long width = 0;
    long height = 0;
    KelvraPixelFormat pixelFormat = kKelvraRGB8;
    long rowBytes = 0;
    std::vector<std::uint8_t> bytes; // rowBytes * height
};

// The metadata a JPEG or TIFF export carries besides the pixels. Empty
// members are not written.
struct PellioJpegMetadata {
    std::vector<std::uint8_t> iccProfile; // the whole ICC profile
    std::string software;                 // Exif Software text
    std::string dateTime;                 // Exif DateTime, "YYYY:MM:DD HH:MM:SS"
    std::vector<std::uint8_t> iptc;       // IPTC-NAA records, as stored
};
