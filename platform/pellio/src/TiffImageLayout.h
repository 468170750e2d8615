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
    // Bytes the whole picture takes once read.
    std::uint64_t DecodedBytes() const { return std::uint64_t(RowBytes()) * std::uint64_t(height); }
    long StripCount() const { return long(stripOffsets.size()); }
    // Rows of strip `index` (the last may be short).
    long StripRows(long index) const;
};

// Describes the picture of `ifd`. kPellioUnsupported for valid TIFF this
// code does not read; kPellioCorrupt for missing or inconsistent fields,
// strips that overlap, or more image data than the file can hold.
IKelvraError* TiffDescribeImage(const TiffIfd& ifd, TiffOrder order, std::uint64_t fileSize,
                                TiffImageLayout* layout);

// kPellioCorrupt when `decoded` bytes of pictures could not come from a file
// of `fileSize` bytes: no stored strip stands for more than deflate's best
// ratio, so anything beyond is a crafted file that would only exhaust memory.
IKelvraError* TiffCheckDecodedSize(std::uint64_t decoded, std::uint64_t fileSize);
