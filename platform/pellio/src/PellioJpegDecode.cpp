// Decoding: our own walk checks the whole file and reads the metadata, then
// the system JPEG decoder delivers the pixels.
#include "PellioJpegWic.h"

#include <cstdint>

namespace {

// Rows fetched from the decoder per call, so no call's byte count overflows.
constexpr UINT kBandRows = 256;

// The decoder's frame as 8-bit grey or BGR, converted when it is neither.
IKelvraError* ReadableSource(IWICBitmapFrameDecode* frame, PellioComPtr<IWICBitmapSource>& source, bool& grey)
{
    WICPixelFormatGUID format;
    PELLIO_WIC_CALL(frame->GetPixelFormat(&format));
    grey = IsEqualGUID(format, GUID_WICPixelFormat8bppGray) != 0;
    const HRESULT result = WICConvertBitmapSource(grey ? GUID_WICPixelFormat8bppGray : GUID_WICPixelFormat24bppBGR,
                                                  frame, source.Out());
    if (FAILED(result))
        return PellioWicError(__LINE__, result, kKelvraUnsupportedFormat);
    return nullptr;
}

IKelvraError* PrepareRaster(UINT width, UINT height, bool grey, PellioRaster& raster)
{
    raster.pixelFormat = grey ? kKelvraGrey8 : kKelvraRGB8;
    raster.width = long(width);
    raster.height = long(height);
    raster.rowBytes = KelvraRowBytes(raster.pixelFormat, raster.width);
    const std::uint64_t total = std::uint64_t(raster.rowBytes) * height;
    if (total > SIZE_MAX)
        return PELLIO_JPEG_ERROR(kKelvraOutOfMemory);
    raster.bytes.resize(std::size_t(total));
    return nullptr;
}

IKelvraError* CopyRows(IWICBitmapSource* source, bool grey, PellioRaster& raster)
{
    UINT width = 0;
    UINT height = 0;
    PELLIO_WIC_CALL(source->GetSize(&width, &height));
    if (IKelvraError* error = PrepareRaster(width, height, grey, raster))
        return error;
    const UINT rowBytes = UINT(raster.rowBytes);
    for (UINT top = 0; top < height; top += kBandRows) {
        const UINT rows = height - top < kBandRows ? height - top : kBandRows;
        const WICRect rect = {0, INT(top), INT(width), INT(rows)};
        std::uint8_t* band = raster.bytes.data() + std::size_t(top) * rowBytes;
        PELLIO_WIC_CALL(source->CopyPixels(&rect, rowBytes, rowBytes * rows, band));
        if (!grey)
            PellioSwapRedBlue(band, band, std::size_t(width) * rows);
    }
    return nullptr;
}

IKelvraError* DecodeWithWic(const std::uint8_t* data, std::size_t size, PellioRaster& raster)
{
    if (size > MAXDWORD)
        return PELLIO_JPEG_CORRUPT();
    PellioWicSession factory;
    if (IKelvraError* error = factory.Open())
        return error;
    PellioComPtr<IWICStream> stream;
    PELLIO_WIC_CALL(factory->CreateStream(stream.Out()));
    // The stream is only read from; the call merely lacks const.
    PELLIO_WIC_CALL(stream->InitializeFromMemory(const_cast<BYTE*>(data), DWORD(size)));
    PellioComPtr<IWICBitmapDecoder> decoder;
    PELLIO_WIC_CALL(factory->CreateDecoder(GUID_ContainerFormatJpeg, nullptr, decoder.Out()));
    PELLIO_WIC_CALL(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand));
    PellioComPtr<IWICBitmapFrameDecode> frame;
    PELLIO_WIC_CALL(decoder->GetFrame(0, frame.Out()));
    PellioComPtr<IWICBitmapSource> source;
    bool grey = false;
    if (IKelvraError* error = ReadableSource(frame.Get(), source, grey))
        return error;
    return CopyRows(source.Get(), grey, raster);
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
        if (IKelvraError* error = DecodeWithWic(data, size, pixels))
            return error;
        raster = std::move(pixels);
        metadata = std::move(found);
        return nullptr;
    });
}
