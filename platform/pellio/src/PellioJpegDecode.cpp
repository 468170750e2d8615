// Decoding: our own walk checks the whole file and reads the metadata, then
// libjpeg delivers the pixels.
#include "PellioLibjpeg.h"

#include <climits>
#include <cstdint>

namespace {

// Reads the frame header and asks for 8-bit grey or RGB. State lives in
// `decoder` only (see PellioLibjpeg.h).
IKelvraError* ReadHeader(PellioJpegDecompressor& decoder, const std::uint8_t* data, std::size_t size)
{
    decoder.info.err = PellioJpegErrors(decoder.failure);
    if (setjmp(decoder.failure.jump))
        return PellioLibjpegError(__LINE__, reinterpret_cast<j_common_ptr>(&decoder.info));
    jpeg_create_decompress(&decoder.info);
    jpeg_mem_src(&decoder.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&decoder.info, TRUE);
    decoder.info.out_color_space = decoder.info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&decoder.info);
    return nullptr;
}

IKelvraError* ReadRows(PellioJpegDecompressor& decoder, PellioRaster& raster)
{
    if (setjmp(decoder.failure.jump))
        return PellioLibjpegError(__LINE__, reinterpret_cast<j_common_ptr>(&decoder.info));
    while (decoder.info.output_scanline < decoder.info.output_height) {
        JSAMPROW row = raster.bytes.data() + std::size_t(decoder.info.output_scanline) * std::size_t(raster.rowBytes);
        jpeg_read_scanlines(&decoder.info, &row, 1);
    }
    jpeg_finish_decompress(&decoder.info);
    return nullptr;
}

IKelvraError* PrepareRaster(const jpeg_decompress_struct& info, PellioRaster& raster)
{
    raster.pixelFormat = info.output_components == 1 ? kKelvraGrey8 : kKelvraRGB8;
    raster.width = long(info.output_width);
    raster.height = long(info.output_height);
    raster.rowBytes = KelvraRowBytes(raster.pixelFormat, raster.width);
    const std::uint64_t total = std::uint64_t(raster.rowBytes) * info.output_height;
    if (total > SIZE_MAX)
        return PELLIO_JPEG_ERROR(kKelvraOutOfMemory);
    raster.bytes.resize(std::size_t(total));
    return nullptr;
}

IKelvraError* DecodePixels(const std::uint8_t* data, std::size_t size, PellioRaster& raster)
{
    if (size > ULONG_MAX)
        return PELLIO_JPEG_CORRUPT();
    PellioJpegDecompressor decoder;
    if (IKelvraError* error = ReadHeader(decoder, data, size))
        return error;
    if (decoder.info.output_components != 1 && decoder.info.output_components != 3)
        return PELLIO_JPEG_ERROR(kKelvraUnsupportedFormat);
    if (IKelvraError* error = PrepareRaster(decoder.info, raster))
        return error;
    return ReadRows(decoder, raster);
}

} // namespace

IKelvraError* PellioDecodeJpeg(const std::uint8_t* data, std::size_t size, PellioRaster& raster,
                               PellioJpegMetadata& metadata)
{
    return PellioJpegGuard([&]() -> IKelvraError* {
        std::vector<PellioJpegSegment> segments;
        if (IKelvraError* error = PellioWalkJpeg(data, size, segments))
            return error;
        if (IKelvraError* error = PellioCheckJpegFrame(segments, size))
            return error;
        PellioJpegMetadata found;
        if (IKelvraError* error = PellioReadJpegMetadata(segments, found))
            return error;
        PellioRaster pixels;
        if (IKelvraError* error = DecodePixels(data, size, pixels))
            return error;
        raster = std::move(pixels);
        metadata = std::move(found);
        return nullptr;
    });
}
