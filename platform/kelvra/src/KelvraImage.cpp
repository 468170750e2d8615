// The image's geometry and descriptive values, and the notices their
// changes send.
#include "KelvraImageImpl.h"

#include "KelvraPixelCopy.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace {

bool SamePalette(const KelvraPalette& a, const KelvraPalette& b)
{
    return a.count == b.count && std::memcmp(a.entries, b.entries, std::size_t(a.count) * sizeof(a.entries[0])) == 0;
}

} // namespace

CKelvraImage::CKelvraImage(IKelvraManager* manager, long tileSize, long kind) : m_manager(manager), m_kind(kind)
{
    m_layout.tileSize = tileSize;
    m_answerWidth = m_layout.width;
    m_answerHeight = m_layout.height;
    m_answerFormat = m_layout.format;
}

void CKelvraImage::Release()
{
    KelvraDataSourceGoing(this); // while the image can still answer its destinations
    delete this;
}

IKelvraError* CKelvraImage::GetWidth(long* width)
{
    return AnswerNow(width, m_answerWidth.load(std::memory_order_acquire));
}

IKelvraError* CKelvraImage::GetHeight(long* height)
{
    return AnswerNow(height, m_answerHeight.load(std::memory_order_acquire));
}

IKelvraError* CKelvraImage::GetColorSpace(KelvraPixelFormat* format)
{
    return AnswerNow(format, m_answerFormat.load(std::memory_order_acquire));
}

IKelvraError* CKelvraImage::GetResolution(double* dpi)
{
    return Answer(dpi, m_resolution);
}

IKelvraError* CKelvraImage::GetFlip(bool* flip)
{
    return Answer(flip, m_flip);
}

IKelvraError* CKelvraImage::GetRotation(double* degrees)
{
    return Answer(degrees, m_rotation);
}

IKelvraError* CKelvraImage::GetTileSize(long* size)
{
    return AnswerNow(size, m_layout.tileSize);
}

IKelvraError* CKelvraImage::GetPalette(KelvraPalette* palette)
{
    return Answer(palette, m_palette);
}

bool CKelvraImage::IsReady() const
{
    return m_layout.width > 0 && m_layout.height > 0 && m_layout.tileSize > 0 &&
           KelvraBitsPerPixel(m_layout.format) > 0;
}

// Refuses sizes whose tiles cannot be numbered or whose packed rows or
// tiles cannot be addressed; everything is computed in 64 bits first.
bool CKelvraImage::Fits(long width, long height, KelvraPixelFormat format) const
{
    const long side = m_layout.tileSize;
    if (side <= 0)
        return false;
    const std::uint64_t sidePixels = std::uint64_t(kMaxTilesPerSide) * std::uint64_t(side);
    if (std::uint64_t(width) > sidePixels || std::uint64_t(height) > sidePixels)
        return false;
    const unsigned bits = KelvraBitsPerPixel(format);
    const std::uint64_t tileBytes = KelvraPackedRowBytes(bits, side) * std::uint64_t(side);
    return KelvraPackedRowBytes(bits, width) <= std::uint64_t(LONG_MAX) && tileBytes <= std::uint64_t(LONG_MAX);
}

void CKelvraImage::DropPixels()
{
    m_tiles.Reset(std::size_t(m_layout.TileRowBytes()) * std::size_t(m_layout.tileSize));
    m_rowsWritten = 0;
}

IKelvraError* CKelvraImage::Announce(long code, void* data)
{
    return KELVRA_WRAP(nullptr, kKelvraImageTag, KelvraSendDataNotification(this, code, data));
}

IKelvraError* CKelvraImage::SetSize(long width, long height)
{
    if (width < 0 || height < 0)
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
    KelvraSizeChange change;
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (width == m_layout.width && height == m_layout.height)
            return nullptr;
        if (!Fits(width, height, m_layout.format))
            return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
        change = {m_layout.width, m_layout.height, width, height};
        m_layout.width = width;
        m_layout.height = height;
        m_answerWidth.store(width, std::memory_order_release);
        m_answerHeight.store(height, std::memory_order_release);
        DropPixels();
    }
    return Announce(kKelvraNotifySize, &change);
}

IKelvraError* CKelvraImage::SetColorSpace(KelvraPixelFormat format)
{
    if (KelvraBitsPerPixel(format) == 0)
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraUnsupportedFormat);
    KelvraColorSpaceChange change;
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (format == m_layout.format)
            return nullptr;
        if (!Fits(m_layout.width, m_layout.height, format))
            return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
        change = {m_layout.format, format};
        m_layout.format = format;
        m_answerFormat.store(format, std::memory_order_release);
        DropPixels();
    }
    return Announce(kKelvraNotifyColorSpace, &change);
}

IKelvraError* CKelvraImage::SetResolution(double dpi)
{
    if (!std::isfinite(dpi) || dpi < 0)
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
    KelvraResolutionChange change;
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (dpi == m_resolution)
            return nullptr;
        change = {m_resolution, dpi};
        m_resolution = dpi;
    }
    return Announce(kKelvraNotifyResolution, &change);
}

IKelvraError* CKelvraImage::SetTransform(bool flip, double rotation, long /*reserved*/)
{
    if (!std::isfinite(rotation))
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
    KelvraTransformChange change;
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (flip == m_flip && rotation == m_rotation)
            return nullptr;
        change = {m_flip, m_rotation, flip, rotation};
        m_flip = flip;
        m_rotation = rotation;
    }
    return Announce(kKelvraNotifyTransform, &change);
}

IKelvraError* CKelvraImage::SetPalette(const KelvraPalette& palette)
{
    if (palette.count < 0 || palette.count > 256)
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
    KelvraPalette kept; // entries past the count stay zero, so equal palettes compare equal
    std::memcpy(kept.entries, palette.entries, std::size_t(palette.count) * sizeof(palette.entries[0]));
    kept.count = palette.count;
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (SamePalette(kept, m_palette))
            return nullptr;
        m_palette = kept;
    }
    return Announce(kKelvraNotifyPalette, &kept);
}

IKelvraError* CKelvraImage::GetStripHeight(long* rows)
{
    return AnswerNow(rows, m_layout.tileSize);
}

long CKelvraImage::GetRowsWritten() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_rowsWritten;
}
