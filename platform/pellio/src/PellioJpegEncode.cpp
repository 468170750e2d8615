// Encoding a picture in memory: its bands go to the band coder, then our
// metadata segments go in after SOI.
#include "PellioJpegBands.h"

namespace {

IKelvraError* CheckArguments(const PellioRaster& raster, int quality)
{
    if (IKelvraError* error = PellioCheckJpegPicture(raster.pixelFormat, raster.width, raster.height, quality))
        return error;
    if (raster.rowBytes < KelvraRowBytes(raster.pixelFormat, raster.width) ||
        raster.bytes.size() / std::size_t(raster.rowBytes) < std::size_t(raster.height))
        return PELLIO_JPEG_CORRUPT();
    return nullptr;
}

} // namespace

IKelvraError* PellioFinishJpeg(CPellioJpegBands& bands, const PellioJpegMetadata& metadata,
                               std::vector<std::uint8_t>& out)
{
    std::vector<std::uint8_t> ours;
    if (IKelvraError* error = PellioBuildJpegMetadata(metadata, ours))
        return error;
    std::vector<std::uint8_t> jpeg;
    if (IKelvraError* error = bands.Finish(jpeg))
        return error;
    std::vector<std::uint8_t> result;
    if (IKelvraError* error = PellioSpliceJpegMetadata(jpeg.data(), jpeg.size(), ours, result))
        return error;
    out.swap(result);
    return nullptr;
}

IKelvraError* PellioEncodeJpeg(const PellioRaster& raster, const PellioJpegMetadata& metadata, int quality,
                               std::vector<std::uint8_t>& out)
{
    return PellioJpegGuard([&]() -> IKelvraError* {
        if (IKelvraError* error = CheckArguments(raster, quality))
            return error;
        CPellioJpegBands bands(raster.pixelFormat, raster.width, raster.height, quality);
        for (long top = 0; top < raster.height; top += bands.BandRows()) {
            const std::uint8_t* rows = raster.bytes.data() + std::size_t(top) * std::size_t(raster.rowBytes);
            if (IKelvraError* error = bands.Add(rows, raster.rowBytes))
                return error;
        }
        return PellioFinishJpeg(bands, metadata, out);
    });
}
