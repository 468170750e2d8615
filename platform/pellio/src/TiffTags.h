// Tag numbers of the TIFF fields the container code reads and writes.
#pragma once

#include <cstdint>

enum : std::uint16_t {
    kTiffNewSubfileType = 254,
    kTiffImageWidth = 256,
    kTiffImageLength = 257,
    kTiffBitsPerSample = 258,
    kTiffCompression = 259,
    kTiffPhotometric = 262,
    kTiffStripOffsets = 273,
    kTiffSamplesPerPixel = 277,
    kTiffRowsPerStrip = 278,
    kTiffStripByteCounts = 279,
    kTiffXResolution = 282,
    kTiffYResolution = 283,
    kTiffPlanarConfig = 284,
    kTiffResolutionUnit = 296,
    kTiffPredictor = 317,
    kTiffTileWidth = 322,
    kTiffExtraSamples = 338,
    kTiffCfaRepeatDim = 33421,
    kTiffCfaPattern = 33422,
    kTiffExifIfd = 34665,
    // Private fields of the Qrf container (the reusable private range).
    kQrfContainer = 65000,  // LONG[2]: version 1, format code
    kQrfImageKind = 65001,  // LONG: the sub-image's kind word
    kQrfPixelFormat = 65002, // LONG: the image's pixel format word
    kQrfTagBlock = 65010,   // UNDEFINED: tags the TIFF fields do not carry
    kQrfAttachment = 65011, // UNDEFINED: option word, then the attached block
    kQrfBitmap = 65012,     // UNDEFINED: the bitmap entry's bytes
};

enum : std::uint16_t {
    kTiffCompressionNone = 1,
    kTiffCompressionDeflate = 8,
    kTiffCompressionDeflateOld = 32946,
    kTiffPhotometricGrey = 1,
    kTiffPhotometricRgb = 2,
    kTiffPhotometricCfa = 32803,
};
