// Encoding: the system JPEG encoder writes the pixels into memory, then our
// metadata segments go in after SOI.
#include "PellioJpegWic.h"

#include <cstring>

namespace {

// Rows handed to the encoder per call: bounds the converted copy we keep.
constexpr long kBandRows = 64;
// The largest side a JPEG frame header can state.
constexpr long kMaxSide = 65535;

bool IsGrey(const PellioRaster& raster)
{
    return raster.pixelFormat == kKelvraGrey8;
}

std::size_t PackedRowBytes(const PellioRaster& raster)
{
    return std::size_t(KelvraRowBytes(raster.pixelFormat, raster.width));
}

IKelvraError* CheckArguments(const PellioRaster& raster, int quality)
{
    if (raster.pixelFormat != kKelvraRGB8 && raster.pixelFormat != kKelvraGrey8)
        return PELLIO_JPEG_ERROR(kKelvraUnsupportedFormat);
    if (raster.width <= 0 || raster.height <= 0 || raster.width > kMaxSide || raster.height > kMaxSide ||
        quality < 0 || quality > 100)
        return PELLIO_JPEG_CORRUPT();
    if (raster.rowBytes < long(PackedRowBytes(raster)) ||
        raster.bytes.size() / std::size_t(raster.rowBytes) < std::size_t(raster.height))
        return PELLIO_JPEG_CORRUPT();
    return nullptr;
}

// One row as the encoder takes it: BGR order for colour.
void CopyRowForEncoder(const PellioRaster& raster, long row, std::uint8_t* to)
{
    const std::uint8_t* from = raster.bytes.data() + std::size_t(row) * std::size_t(raster.rowBytes);
    if (IsGrey(raster))
        std::memcpy(to, from, std::size_t(raster.width));
    else
        PellioSwapRedBlue(from, to, std::size_t(raster.width));
}

IKelvraError* WriteRows(IWICBitmapFrameEncode* frame, const PellioRaster& raster)
{
    const std::size_t rowBytes = PackedRowBytes(raster);
    std::vector<std::uint8_t> band(rowBytes * std::size_t(raster.height < kBandRows ? raster.height : kBandRows));
    for (long top = 0; top < raster.height; top += kBandRows) {
        const long rows = raster.height - top < kBandRows ? raster.height - top : kBandRows;
        for (long row = 0; row < rows; ++row)
            CopyRowForEncoder(raster, top + row, band.data() + std::size_t(row) * rowBytes);
        PELLIO_WIC_CALL(frame->WritePixels(UINT(rows), UINT(rowBytes), UINT(rowBytes * std::size_t(rows)), band.data()));
    }
    return nullptr;
}

IKelvraError* SetQuality(IPropertyBag2* options, int quality)
{
    PROPBAG2 option = {};
    option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = float(quality) / 100.0f;
    PELLIO_WIC_CALL(options->Write(1, &option, &value));
    return nullptr;
}

IKelvraError* EncodeFrame(IWICBitmapEncoder* encoder, const PellioRaster& raster, int quality)
{
    PellioComPtr<IWICBitmapFrameEncode> frame;
    PellioComPtr<IPropertyBag2> options;
    PELLIO_WIC_CALL(encoder->CreateNewFrame(frame.Out(), options.Out()));
    if (IKelvraError* error = SetQuality(options.Get(), quality))
        return error;
    PELLIO_WIC_CALL(frame->Initialize(options.Get()));
    PELLIO_WIC_CALL(frame->SetSize(UINT(raster.width), UINT(raster.height)));
    const WICPixelFormatGUID wanted = IsGrey(raster) ? GUID_WICPixelFormat8bppGray : GUID_WICPixelFormat24bppBGR;
    WICPixelFormatGUID format = wanted;
    PELLIO_WIC_CALL(frame->SetPixelFormat(&format));
    if (!IsEqualGUID(format, wanted)) // the encoder would want another layout
        return PELLIO_JPEG_ERROR(kKelvraUnsupportedFormat);
    if (IKelvraError* error = WriteRows(frame.Get(), raster))
        return error;
    PELLIO_WIC_CALL(frame->Commit());
    return nullptr;
}

// Unlocks the memory behind a stream however the copy ends.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL global) : m_global(global), m_data(GlobalLock(global)) {}
    ~GlobalLockScope()
    {
        if (m_data)
            GlobalUnlock(m_global);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    const std::uint8_t* Data() const { return static_cast<const std::uint8_t*>(m_data); }

private:
    HGLOBAL m_global;
    void* m_data;
};

IKelvraError* CopyStreamBytes(IStream* stream, std::vector<std::uint8_t>& bytes)
{
    STATSTG status = {};
    PELLIO_WIC_CALL(stream->Stat(&status, STATFLAG_NONAME));
    HGLOBAL global = nullptr;
    PELLIO_WIC_CALL(GetHGlobalFromStream(stream, &global));
    const ULONGLONG size = status.cbSize.QuadPart;
    if (size > GlobalSize(global))
        return PELLIO_JPEG_ERROR(kKelvraOperationFailed);
    GlobalLockScope lock(global);
    if (!lock.Data())
        return PellioWicError(__LINE__, HRESULT_FROM_WIN32(GetLastError()));
    bytes.assign(lock.Data(), lock.Data() + std::size_t(size));
    return nullptr;
}

IKelvraError* EncodeWithWic(const PellioRaster& raster, int quality, std::vector<std::uint8_t>& jpeg)
{
    PellioWicSession factory;
    if (IKelvraError* error = factory.Open())
        return error;
    PellioComPtr<IStream> stream;
    PELLIO_WIC_CALL(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()));
    PellioComPtr<IWICBitmapEncoder> encoder;
    PELLIO_WIC_CALL(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.Out()));
    PELLIO_WIC_CALL(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
    if (IKelvraError* error = EncodeFrame(encoder.Get(), raster, quality))
        return error;
    PELLIO_WIC_CALL(encoder->Commit());
    return CopyStreamBytes(stream.Get(), jpeg);
}

} // namespace

IKelvraError* PellioEncodeJpeg(const PellioRaster& raster, const PellioJpegMetadata& metadata, int quality,
                               std::vector<std::uint8_t>& out)
{
    return PellioJpegGuard([&]() -> IKelvraError* {
        if (IKelvraError* error = CheckArguments(raster, quality))
            return error;
        std::vector<std::uint8_t> ours;
        if (IKelvraError* error = PellioBuildJpegMetadata(metadata, ours))
            return error;
        std::vector<std::uint8_t> jpeg;
        if (IKelvraError* error = EncodeWithWic(raster, quality, jpeg))
            return error;
        std::vector<std::uint8_t> result;
        if (IKelvraError* error = PellioSpliceJpegMetadata(jpeg.data(), jpeg.size(), ours, result))
            return error;
        out.swap(result);
        return nullptr;
    });
}
