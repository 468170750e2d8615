// The directory fields that describe one written image.
#pragma once

#include "PellioSavePlan.h"
#include "TiffIfdBuilder.h"

#include <cstdint>
#include <vector>

struct TiffWrittenImage {
    const PellioSaveImage* image;
    std::uint16_t compression;
    long rowsPerStrip;
    std::vector<std::uint32_t> stripOffsets;
    std::vector<std::uint32_t> stripBytes;
};

struct TiffDirectoryStyle {
    bool ours;         // write the container's kind and pixel-format fields
    bool reduced;      // a reduced-resolution sub-image
    const std::vector<std::uint8_t>* cfaCodes; // the four pattern codes of a mosaic, or null
};

void TiffAddImageFields(const TiffWrittenImage& written, const TiffDirectoryStyle& style, CTiffIfdBuilder* ifd);
