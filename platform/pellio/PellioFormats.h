// The codes the loader library shares with its callers: file kinds and
// format codes of the files it reads and writes, the kinds of the images a
// saver takes, and the error codes it reports. docs/qrf-format.md describes
// the files.
#pragma once

#include "kelvra/KelvraError.h"
#include "kelvra/KelvraTypes.h"

#include <cstdint>

// File kinds a loader reports.
enum : std::uint32_t {
    kPellioKindQrf = 0x10000000,  // a Qrf raw file
    kPellioKindTiff = 0x20000000, // any other TIFF-structured file
    kPellioKindJpeg = 0x40000000,
};

// File format codes: what a loader reports of a file and what a saver is
// begun with.
enum : std::uint32_t {
    kPellioFormatJpeg = 1,            // JPEG; the option is the quality
    kPellioFormatQrf = 32,            // Qrf raw, image data stored uncompressed
    kPellioFormatTiff = 256,          // TIFF, 8 or 16 bits; option bit 0: deflate
    kPellioFormatDirect = 1024,       // fixed-size 8-bit TIFF; option: size
    kPellioFormatQrfDeflate = 2048,   // Qrf raw, image data deflate-compressed
    kPellioFormatQrfSettings = 0x10000000, // save only: a Qrf raw file rewritten with new tags
};

// Kinds of the sub-images of a file, the same words a saver's image list
// carries. Bit 0x4000000 marks the image that replaces the main image of a
// raw export when it is loaded again.
enum : std::uint32_t {
    kPellioEntryRendition = 0x1000000,  // a reduced rendition (thumbnail, preview)
    kPellioEntryImageAlone = 0x1010000, // the full image, no scaled preview beside it
    kPellioEntryImageFlagged = 0x2010000,
    kPellioEntryConverted = 0x1000002,  // a converted copy of the image
    kPellioEntrySecondRaw = 0x1000004,  // the alternative mosaic of a signal-processing camera
    kPellioEntryRawSource = 0x4000000,  // the raw source of an export
    kPellioEntryBitmap = 0x4010000,     // object: a KelvraSaveBitmap record
};

// Whether a pixel format is one of the raw mosaic layouts (0x10020401 to
// 0x10020404), which only the Qrf container stores.
inline bool PellioIsMosaic(KelvraPixelFormat format)
{
    return format >= kKelvraRawMosaic && format <= kKelvraRawSig4;
}

// Error codes besides the framework's own (1005 memory, 1006 write, 1008
// bad argument, 1010 unsupported format, 1013 not ready, 1014 missing).
enum : long {
    kPellioListRefused = 1324,   // the saver does not take this image list
    kPellioUnknownFile = 1501,   // not a file kind the loader knows (magic)
    kPellioUnsupported = 1502,   // a known kind in a variant the loader cannot read
    kPellioReadFailed = 1602,    // the file is shorter than its structure says
    kPellioOpenFailed = 1603,    // the file cannot be opened
    kPellioCorrupt = 1604,       // offsets, counts or values inconsistent
    kPellioNoSubImage = 1605,    // no sub-image of that number
    kPellioSeekFailed = 1606,
    kPellioStreamState = 1607,   // the stream is not open in the mode needed
};

// Error tags of the library's modules.
constexpr KelvraTag kPellioStreamTag = KelvraFourCC('P', 'S', 't', 'r');
constexpr KelvraTag kPellioLoadTag = KelvraFourCC('P', 'L', 'o', 'd');
constexpr KelvraTag kPellioSaveTag = KelvraFourCC('P', 'S', 'a', 'v');
constexpr KelvraTag kPellioTiffTag = KelvraFourCC('P', 'T', 'i', 'f');
constexpr KelvraTag kPellioTagsTag = KelvraFourCC('P', 'T', 'a', 'g');
// Category of errors that carry a zlib result as their code.
constexpr std::uint32_t kPellioZlibCategory = KelvraFourCC('z', 'l', 'i', 'b');
