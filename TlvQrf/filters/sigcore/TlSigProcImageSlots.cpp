// The image interface: size and format from the mosaic without developing,
// pixels from the output after developing, writes refused.
#include "filters/sigcore/TlSigProcImage.h"

#include "filters/sigcore/TlSigProcImageTag.h"

IKelvraError* CSigProcImage::Unsupported(long line) const
{
    return IKelvraError::Add(nullptr, kSigProcTag, line, kKelvraCategoryKelvra, kKelvraOperationFailed);
}

// Develops when stale; afterwards the output exists.
IKelvraError* CSigProcImage::ForwardReady(long line)
{
    if (IKelvraError* error = Update())
        return IKelvraError::AddWorker(nullptr, kSigProcTag, line, error);
    if (!m_output)
        return Unsupported(line);
    return nullptr;
}

#define RAW1_FORWARD(call)                                  \
    do {                                                    \
        if (IKelvraError* notReady = ForwardReady(__LINE__)) \
            return notReady;                                \
        return RAW1_WRAP(nullptr, m_output->call);          \
    } while (0)

IKelvraError* CSigProcImage::GetWidth(long* width)
{
    IKelvraImage* source = CurrentSource();
    if (!source)
        return RAW1_ERROR(kKelvraOperationFailed);
    long sourceWidth = 0;
    if (IKelvraError* error = source->GetWidth(&sourceWidth))
        return RAW1_WRAP(nullptr, error);
    *width = sourceWidth - 16;
    return nullptr;
}

IKelvraError* CSigProcImage::GetHeight(long* height)
{
    IKelvraImage* source = CurrentSource();
    if (!source)
        return RAW1_ERROR(kKelvraOperationFailed);
    long sourceHeight = 0;
    KelvraPixelFormat format = 0;
    IKelvraError* error = source->GetHeight(&sourceHeight);
    if (!error)
        error = source->GetColorSpace(&format);
    if (error)
        return RAW1_WRAP(nullptr, error);
    *height = sourceHeight - (format == kKelvraRawSig3 ? 4 : 6);
    return nullptr;
}

IKelvraError* CSigProcImage::GetColorSpace(KelvraPixelFormat* format)
{
    *format = kKelvraRGB16;
    return nullptr;
}

IKelvraError* CSigProcImage::GetResolution(double* dpi)
{
    *dpi = m_resolution;
    return nullptr;
}

IKelvraError* CSigProcImage::GetFlip(bool* flip)
{
    *flip = false;
    return nullptr;
}

IKelvraError* CSigProcImage::GetRotation(double* degrees)
{
    *degrees = 0;
    return nullptr;
}

IKelvraError* CSigProcImage::GetTileSize(long* size)
{
    RAW1_FORWARD(GetTileSize(size));
}

IKelvraError* CSigProcImage::GetPalette(KelvraPalette* palette)
{
    RAW1_FORWARD(GetPalette(palette));
}

IKelvraError* CSigProcImage::TileExists(long column, long row, bool* exists)
{
    RAW1_FORWARD(TileExists(column, row, exists));
}

IKelvraError* CSigProcImage::GetTile(long column, long row, KelvraRect* rect)
{
    RAW1_FORWARD(GetTile(column, row, rect));
}

IKelvraError* CSigProcImage::LockTile(long column, long row, const void** data, KelvraRect* rect, long* rowBytes)
{
    RAW1_FORWARD(LockTile(column, row, data, rect, rowBytes));
}

// A tile locked before a change is unlocked without developing again.
IKelvraError* CSigProcImage::UnlockTile(long column, long row)
{
    if (!m_output)
        return RAW1_ERROR(kKelvraOperationFailed);
    return RAW1_WRAP(nullptr, m_output->UnlockTile(column, row));
}

IKelvraError* CSigProcImage::GetDataSize(std::size_t* size)
{
    RAW1_FORWARD(GetDataSize(size));
}

IKelvraError* CSigProcImage::GetData(void* buffer, std::size_t size)
{
    RAW1_FORWARD(GetData(buffer, size));
}

IKelvraError* CSigProcImage::GetPixel(long x, long y, void* pixel)
{
    RAW1_FORWARD(GetPixel(x, y, pixel));
}

IKelvraError* CSigProcImage::SetResolution(double dpi)
{
    m_resolution = dpi;
    return nullptr;
}

IKelvraError* CSigProcImage::GetStripHeight(long* rows)
{
    if (!m_output)
        return RAW1_ERROR(kKelvraOperationFailed);
    return RAW1_WRAP(nullptr, m_output->GetStripHeight(rows));
}

long CSigProcImage::GetRowsWritten() const
{
    return m_output ? m_output->GetRowsWritten() : 0;
}

IKelvraError* CSigProcImage::SetSize(long, long)
{
    return Unsupported(__LINE__);
}

IKelvraError* CSigProcImage::SetColorSpace(KelvraPixelFormat)
{
    return Unsupported(__LINE__);
}

IKelvraError* CSigProcImage::SetTransform(bool, double, long)
{
    return Unsupported(__LINE__);
}

IKelvraError* CSigProcImage::SetPalette(const KelvraPalette&)
{
    return Unsupported(__LINE__);
}

IKelvraError* CSigProcImage::AppendRows(const void*, long, long)
{
    return Unsupported(__LINE__);
}

IKelvraError* CSigProcImage::LockTileForWrite(long, long, void**, KelvraRect*, long*)
{
    return Unsupported(__LINE__);
}

IKelvraError* CSigProcImage::UnlockTileForWrite(long, long, bool)
{
    return Unsupported(__LINE__);
}

IKelvraError* CSigProcImage::AttachFilter(IKelvraFilter*)
{
    return Unsupported(__LINE__);
}

IKelvraError* CSigProcImage::DetachFilter(IKelvraFilter*)
{
    return Unsupported(__LINE__);
}

IKelvraFilter* CSigProcImage::FindFilter(KelvraTag) const
{
    return nullptr;
}
