#include "TiffImageLayout.h"

#include "PellioErrors.h"
#include "TiffTags.h"
#include "pellio/PellioFormats.h"

#include <algorithm>
#include <numeric>

#define LAYOUT_ERROR(code) PELLIO_ERROR(kPellioTiffTag, (code))
#define LAYOUT_ERROR_TEXT(code, text) PELLIO_ERROR_TEXT(kPellioTiffTag, (code), (text))

namespace {

constexpr std::uint32_t kMaxSide = 1u << 20;
// Deflate cannot shrink data by more than about 1032 to 1; a strip that
// claims more is not sound and would only make us allocate for nothing.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

struct SampleShape {
    std::uint32_t photometric;
    std::uint32_t samples;
    std::uint32_t bits;
    KelvraPixelFormat format;
};

const SampleShape kShapes[] = {
    {kTiffPhotometricGrey, 1, 8, kKelvraGrey8},
    {kTiffPhotometricGrey, 1, 16, kKelvraGrey16},
    {kTiffPhotometricRgb, 3, 8, kKelvraRGB8},
    {kTiffPhotometricRgb, 3, 16, kKelvraRGB16},
    {kTiffPhotometricCfa, 1, 16, kKelvraRawMosaic},
};

IKelvraError* ReadGeometry(const TiffIfd& ifd, TiffOrder order, TiffImageLayout* layout)
{
    const TiffField* width = ifd.Find(kTiffImageWidth);
    const TiffField* height = ifd.Find(kTiffImageLength);
    std::uint32_t w = 0, h = 0;
    if (!width || !height || !TiffUnsigned(*width, order, 0, &w) || !TiffUnsigned(*height, order, 0, &h))
        return LAYOUT_ERROR(kPellioCorrupt);
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide)
        return LAYOUT_ERROR(kPellioCorrupt);
    layout->width = long(w);
    layout->height = long(h);
    return nullptr;
}

// Every sample must have the same depth.
bool SampleBits(const TiffIfd& ifd, TiffOrder order, std::uint32_t samples, std::uint32_t* bits)
{
    const TiffField* field = ifd.Find(kTiffBitsPerSample);
    if (!field) {
        *bits = 1;
        return true;
    }
    if (!TiffUnsigned(*field, order, 0, bits))
        return false;
    for (std::uint32_t i = 1; i < samples && i < field->count; ++i) {
        std::uint32_t other = 0;
        if (!TiffUnsigned(*field, order, i, &other) || other != *bits)
            return false;
    }
    return true;
}

IKelvraError* ReadFormat(const TiffIfd& ifd, TiffOrder order, TiffImageLayout* layout)
{
    std::uint32_t samples = 0, bits = 0, photometric = 0, planar = 0;
    const TiffField* photometricField = ifd.Find(kTiffPhotometric);
    if (!photometricField || !TiffUnsigned(*photometricField, order, 0, &photometric) ||
        !TiffUnsignedOr(ifd, order, kTiffSamplesPerPixel, 1, &samples) ||
        !TiffUnsignedOr(ifd, order, kTiffPlanarConfig, 1, &planar) || !SampleBits(ifd, order, samples, &bits))
        return LAYOUT_ERROR(kPellioCorrupt);
    if (ifd.Find(kTiffExtraSamples) || (planar != 1 && samples > 1))
        return LAYOUT_ERROR(kPellioUnsupported);
    for (const SampleShape& shape : kShapes) {
        if (shape.photometric == photometric && shape.samples == samples && shape.bits == bits) {
            layout->format = shape.format;
            return nullptr;
        }
    }
    return LAYOUT_ERROR(kPellioUnsupported);
}

IKelvraError* ReadCompression(const TiffIfd& ifd, TiffOrder order, TiffImageLayout* layout)
{
    std::uint32_t compression = 0, predictor = 0;
    if (!TiffUnsignedOr(ifd, order, kTiffCompression, kTiffCompressionNone, &compression) ||
        !TiffUnsignedOr(ifd, order, kTiffPredictor, 1, &predictor))
        return LAYOUT_ERROR(kPellioCorrupt);
    if (compression == kTiffCompressionDeflateOld)
        compression = kTiffCompressionDeflate;
    if ((compression != kTiffCompressionNone && compression != kTiffCompressionDeflate) || predictor != 1 ||
        ifd.Find(kTiffTileWidth))
        return LAYOUT_ERROR(kPellioUnsupported);
    layout->compression = std::uint16_t(compression);
    return nullptr;
}

IKelvraError* ReadStripTable(const TiffIfd& ifd, TiffOrder order, TiffImageLayout* layout)
{
    std::uint32_t rows = 0;
    if (!TiffUnsignedOr(ifd, order, kTiffRowsPerStrip, 0xFFFFFFFFu, &rows) || rows == 0)
        return LAYOUT_ERROR(kPellioCorrupt);
    layout->rowsPerStrip = rows > std::uint32_t(layout->height) ? layout->height : long(rows);
    const std::uint32_t strips = std::uint32_t((layout->height + layout->rowsPerStrip - 1) / layout->rowsPerStrip);
    const TiffField* offsets = ifd.Find(kTiffStripOffsets);
    const TiffField* counts = ifd.Find(kTiffStripByteCounts);
    if (!offsets || !counts || offsets->count != strips || counts->count != strips)
        return LAYOUT_ERROR(kPellioCorrupt);
    layout->stripOffsets.resize(strips);
    layout->stripBytes.resize(strips);
    for (std::uint32_t i = 0; i < strips; ++i) {
        if (!TiffUnsigned(*offsets, order, i, &layout->stripOffsets[i]) ||
            !TiffUnsigned(*counts, order, i, &layout->stripBytes[i]))
            return LAYOUT_ERROR(kPellioCorrupt);
    }
    return nullptr;
}

// Each strip lies inside the file and can hold its rows.
IKelvraError* CheckEachStrip(const TiffImageLayout& layout, std::uint64_t fileSize)
{
    for (long i = 0; i < layout.StripCount(); ++i) {
        const std::uint64_t start = layout.stripOffsets[std::size_t(i)];
        const std::uint64_t bytes = layout.stripBytes[std::size_t(i)];
        const std::uint64_t needed = std::uint64_t(layout.StripRows(i)) * std::uint64_t(layout.RowBytes());
        if (start > fileSize || bytes > fileSize - start)
            return LAYOUT_ERROR(kPellioReadFailed);
        const bool plain = layout.compression == kTiffCompressionNone;
        if ((plain && bytes < needed) || (!plain && bytes * kMaxDeflateRatio < needed))
            return LAYOUT_ERROR_TEXT(kPellioCorrupt, "Image strip too small for the rows it must hold");
    }
    return nullptr;
}

// Strips that share bytes let a small file stand for a huge picture (many
// strips read from one deflate stream), so no two may.
IKelvraError* CheckStripsApart(const TiffImageLayout& layout)
{
    std::vector<std::size_t> order(layout.stripOffsets.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::sort(order.begin(), order.end(),
              [&layout](std::size_t a, std::size_t b) { return layout.stripOffsets[a] < layout.stripOffsets[b]; });
    for (std::size_t i = 1; i < order.size(); ++i) {
        const std::uint64_t previousEnd =
            std::uint64_t(layout.stripOffsets[order[i - 1]]) + layout.stripBytes[order[i - 1]];
        if (previousEnd > layout.stripOffsets[order[i]])
            return LAYOUT_ERROR_TEXT(kPellioCorrupt, "Image strips overlap");
    }
    return nullptr;
}

IKelvraError* CheckStrips(const TiffImageLayout& layout, std::uint64_t fileSize)
{
    IKelvraError* error = CheckEachStrip(layout, fileSize);
    if (!error)
        error = TiffCheckDecodedSize(layout.DecodedBytes(), fileSize);
    if (!error)
        error = CheckStripsApart(layout);
    return error;
}

void ReadResolution(const TiffIfd& ifd, TiffOrder order, TiffImageLayout* layout)
{
    const TiffField* field = ifd.Find(kTiffXResolution);
    std::uint32_t unit = 2;
    double value = 0;
    if (!field || !TiffRational(*field, order, 0, &value) || value <= 0 ||
        !TiffUnsignedOr(ifd, order, kTiffResolutionUnit, 2, &unit))
        return;
    layout->resolution = unit == 3 ? value * 2.54 : value;
}

// The container's own fields: the kind word, and the pixel format word,
// which may name any mosaic layout for CFA data but must match otherwise.
IKelvraError* ReadQrfFields(const TiffIfd& ifd, TiffOrder order, TiffImageLayout* layout)
{
    std::uint32_t kind = 0, format = layout->format;
    if (!TiffUnsignedOr(ifd, order, kQrfImageKind, 0, &kind) ||
        !TiffUnsignedOr(ifd, order, kQrfPixelFormat, layout->format, &format))
        return LAYOUT_ERROR(kPellioCorrupt);
    const bool fits = format == layout->format || (PellioIsMosaic(layout->format) && PellioIsMosaic(format));
    if (!fits)
        return LAYOUT_ERROR(kPellioCorrupt);
    layout->kind = kind;
    layout->format = format;
    return nullptr;
}

} // namespace

IKelvraError* TiffCheckDecodedSize(std::uint64_t decoded, std::uint64_t fileSize)
{
    if (decoded / kMaxDeflateRatio <= fileSize)
        return nullptr;
    return LAYOUT_ERROR_TEXT(kPellioCorrupt, "Image data out of proportion to the file size");
}

long TiffImageLayout::StripRows(long index) const
{
    const long first = index * rowsPerStrip;
    return height - first < rowsPerStrip ? height - first : rowsPerStrip;
}

IKelvraError* TiffDescribeImage(const TiffIfd& ifd, TiffOrder order, std::uint64_t fileSize,
                                TiffImageLayout* layout)
{
    IKelvraError* error = ReadGeometry(ifd, order, layout);
    if (!error)
        error = ReadFormat(ifd, order, layout);
    if (!error)
        error = ReadCompression(ifd, order, layout);
    if (!error)
        error = ReadQrfFields(ifd, order, layout);
    if (!error)
        error = ReadStripTable(ifd, order, layout);
    if (!error)
        error = CheckStrips(*layout, fileSize);
    if (!error)
        ReadResolution(ifd, order, layout);
    return error;
}
