// The picture one TIFF directory describes, checked for what this code can
// read and for consistency with the file's size.
#pragma once

#include "TiffStructure.h"
#include "kelvra/KelvraTypes.h"

#include <cstdint>
#include <vector>

struct TiffImageLayout {
    long width = 0;
    long height = 0;
    KelvraPixelFormat format = 0;
    std::uint16_t compression = 0;
    long rowsPerStrip = 0;
    std::vector<std::uint32_t> stripOffsets;
    std::vector<std::uint32_t> stripBytes;
    double resolution = 72.0; // dots per inch
    std::uint32_t kind = 0;   // the container's kind word; 0 when the file has none

    long RowBytes() const { return KelvraRowBytes(format, width); }
    long StripCount() const { return long(stripOffsets.size()); }
    // Rows of strip `index` (the last may be short).
    long StripRows(long index) const;
};

// Describes the picture of `ifd`. kPellioUnsupported for valid TIFF this
// code does not read; kPellioCorrupt for missing or inconsistent fields.
IKelvraError* TiffDescribeImage(const TiffIfd& ifd, TiffOrder order, std::uint64_t fileSize,
                                TiffImageLayout* layout);
