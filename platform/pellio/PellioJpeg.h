// JPEG files to and from in-memory pictures through libjpeg, with the ICC
// profile, the Exif Software and DateTime texts and the IPTC records carried
// in segments of our own making.
#pragma once

#include "kelvra/KelvraError.h"
#include "pellio/PellioRaster.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Tag of every error the JPEG codec reports. Codes: 1005 out of memory,
// 1007 libjpeg failed (the chain then also wraps an error of category
// kPellioLibjpegCategory whose code is libjpeg's message number, followed by
// its message text), 1008 a bad argument or corrupt or truncated data, 1010
// an unsupported pixel format.
constexpr KelvraTag kPellioJpegTag = KelvraFourCC('P', 'J', 'p', 'g');
constexpr std::uint32_t kPellioLibjpegCategory = KelvraFourCC('l', 'j', 'p', 'g');

// Encodes an 8-bit RGB or grey raster at `quality` (0 to 100; 0 codes as 1)
// and writes the metadata's non-empty members. Bands of rows are coded on
// worker threads and joined at restart markers; the bytes do not depend on
// how many threads ran. `out` is replaced on success and left
// as it was on failure.
IKelvraError* PellioEncodeJpeg(const PellioRaster& raster, const PellioJpegMetadata& metadata, int quality,
                               std::vector<std::uint8_t>& out);

// Decodes `size` bytes into an 8-bit RGB raster (grey for a grey file),
// rows top-down and tightly packed, and reads the metadata segments; members
// whose segment is absent come back empty. Nothing is read beyond `size`;
// on failure `raster` and `metadata` are left as they were.
IKelvraError* PellioDecodeJpeg(const std::uint8_t* data, std::size_t size, PellioRaster& raster,
                               PellioJpegMetadata& metadata);
