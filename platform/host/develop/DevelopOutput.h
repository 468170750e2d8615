// What the develop command writes, chosen by the output file's extension:
// a JPEG (8-bit colour) or a TIFF (16-bit colour), as the save record's
// file-format code and pixel-format word.
#pragma once

#include <cstdint>

struct DevelopOutput {
    std::uint32_t fileFormat;
    std::uint32_t pixelFormat;
};

// False for any other extension (case does not matter: ".JPG" is a JPEG).
bool ChooseDevelopOutput(const char* outputPath, DevelopOutput* output);
