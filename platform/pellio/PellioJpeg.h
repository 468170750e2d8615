// JPEG files to and from in-memory pictures, with the ICC profile, the Exif
// Software and DateTime texts and the IPTC records carried in our own
// segments (the system codec cannot be trusted to write metadata).
#pragma once

#include "kelvra/KelvraError.h"
#include "pellio/PellioRaster.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Tag of every error the JPEG codec reports. Codes: 1005 out of memory,
// 1007 a system codec call failed (the chain then also wraps an error of
// category kKelvraCategoryOS whose code is the HRESULT), 1008 a bad argument
// or corrupt or truncated data, 1010 an unsupported pixel format.
constexpr KelvraTag kPellioJpegTag = KelvraFourCC('P', 'J', 'p', 'g');

// Encodes an 8-bit RGB or grey raster at `quality` (0 to 100) and writes
// the metadata's non-empty members. `out` is replaced on success and left
// as it was on failure.
IKelvraError* PellioEncodeJpeg(const PellioRaster& raster, const PellioJpegMetadata& metadata, int quality,
                               std::vector<std::uint8_t>& out);

// Decodes `size` bytes into an 8-bit RGB raster (grey for a grey file),
// rows top-down and tightly packed, and reads the metadata segments; members
// whose segment is absent come back empty. Nothing is read beyond `size`;
// on failure `raster` and `metadata` are left as they were.
IKelvraError* PellioDecodeJpeg(const std::uint8_t* data, std::size_t size, PellioRaster& raster,
                               PellioJpegMetadata& metadata);
