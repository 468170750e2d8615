#include "TiffImageDirectory.h"

#include "TiffStructure.h"
#include "TiffTags.h"
#include "pellio/PellioFormats.h"

#include <cmath>

namespace {

void AddSampleFields(KelvraPixelFormat format, const TiffDirectoryStyle& style, CTiffIfdBuilder* ifd)
{
    const unsigned samples = KelvraPlaneCount(format);
    const auto bits = std::uint16_t(KelvraBitsPerSample(format));
    ifd->AddShorts(kTiffBitsPerSample, std::vector<std::uint16_t>(samples, bits));
    ifd->AddShorts(kTiffSamplesPerPixel, {std::uint16_t(samples)});
    ifd->AddShorts(kTiffPlanarConfig, {1});
    if (!PellioIsMosaic(format)) {
        ifd->AddShorts(kTiffPhotometric, {samples == 1 ? kTiffPhotometricGrey : kTiffPhotometricRgb});
        return;
    }
    ifd->AddShorts(kTiffPhotometric, {kTiffPhotometricCfa});
    if (style.cfaCodes) {
        ifd->AddShorts(kTiffCfaRepeatDim, {2, 2});
        ifd->Add(kTiffCfaPattern, kTiffByte, 4, *style.cfaCodes);
    }
}

void AddResolution(double dpi, CTiffIfdBuilder* ifd)
{
    const double scaled = std::round(dpi * 1000.0);
    const std::uint32_t numerator = scaled > 0 && scaled < 4294967295.0 ? std::uint32_t(scaled) : 72000u;
    ifd->AddRational(kTiffXResolution, numerator, 1000);
    ifd->AddRational(kTiffYResolution, numerator, 1000);
    ifd->AddShorts(kTiffResolutionUnit, {2});
}

} // namespace

void TiffAddImageFields(const TiffWrittenImage& written, const TiffDirectoryStyle& style, CTiffIfdBuilder* ifd)
{
    const PellioSaveImage& image = *written.image;
    if (style.reduced)
        ifd->AddLong(kTiffNewSubfileType, 1);
    ifd->AddLong(kTiffImageWidth, std::uint32_t(image.width));
    ifd->AddLong(kTiffImageLength, std::uint32_t(image.height));
    ifd->AddShorts(kTiffCompression, {written.compression});
    AddSampleFields(image.storedFormat, style, ifd);
    ifd->AddLongs(kTiffStripOffsets, written.stripOffsets);
    ifd->AddLong(kTiffRowsPerStrip, std::uint32_t(written.rowsPerStrip));
    ifd->AddLongs(kTiffStripByteCounts, written.stripBytes);
    AddResolution(image.resolution, ifd);
    if (!style.ours)
        return;
    ifd->AddLong(kQrfPixelFormat, image.storedFormat);
    if (image.kind != 0)
        ifd->AddLong(kQrfImageKind, image.kind);
}
