// The red-eye filter's working buffer: filled from the source, corrected
// and restored region by region, and served to the output tiles that meet
// a region in use.
#include "filters/redeye/TlRedEyeFilter.h"

#include "filters/frame/TlPassThrough.h"
#include "filters/frame/TlPixelFormats.h"
#include "kelvra/KelvraImage.h"

#include <cstring>
#include <limits>
#include <new>

namespace {

const CTlFormatCheck kRgbOnly{TlIsRgb, TlFormatRejection::Text};

} // namespace

IKelvraError* CRedEyeFilter::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    m_prepare = true;
    return CTlFilter::KelvraNotify(source, code, data);
}

IKelvraError* CRedEyeFilter::FilterData(IKelvraDataSource* source, KelvraRect* rect)
{
    m_prepare = true;
    return CTlFilter::FilterData(source, rect);
}

IKelvraError* CRedEyeFilter::CheckCache()
{
    std::lock_guard<CKelvraLock> guard(m_prepareLock);
    return CheckCacheLocked();
}

IKelvraError* CRedEyeFilter::CheckCacheLocked()
{
    if (!m_buffer)
        m_prepare = true;
    return CTlFilter::CheckCache();
}

IKelvraError* CRedEyeFilter::Prepare(CKelvraProcessInfo* info)
{
    std::lock_guard<CKelvraLock> guard(m_prepareLock);
    if (IKelvraError* error = CheckCacheLocked())
        return error;
    if (!m_prepare)
        return nullptr;
    const std::vector<IKelvraDataSource*>* sources = nullptr;
    if (IKelvraError* error = InputSources(info, &sources))
        return error;
    if (IKelvraError* error = FillBuffer((*sources)[0]))
        return error;
    m_prepare = false;
    m_detected = false;
    ReStatus status = ReOk;
    if (m_mode == kModeAutomatic && !m_automatic.IsEmpty()) {
        status = CorrectPixels(m_automatic);
        m_detected = true;
    } else if (m_mode == kModeManual) {
        if (m_keepAutomatic)
            status = CorrectPixels(m_automatic);
        if (TlRedEyeStatusCode(status) == 0)
            status = CorrectPixels(m_manual);
    }
    m_clickPending = false;
    return TlRedEyeStatusCode(status) != 0 ? TL_FILTER_ERROR(kKelvraOperationFailed) : nullptr;
}

IKelvraError* CRedEyeFilter::FillBuffer(IKelvraDataSource* source)
{
    long width = 0;
    long height = 0;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = source->GetSize(&width, &height))
        return TL_FILTER_WRAP(error);
    if (IKelvraError* error = source->GetColorSpace(&format))
        return TL_FILTER_WRAP(error);
    if (!TlIsRgb(format))
        return TL_FILTER_TEXT(kTlBadSourceColorSpace);
    m_buffer.reset();
    m_params.buffer = nullptr;
    // Large 16-bit pictures pass 2^31 bytes: sized in 64 bits, and refused
    // when this process cannot address them.
    const std::uint64_t pixelBytes = format == kKelvraRGB16 ? 6 : 3;
    const std::uint64_t rowBytes = std::uint64_t(width) * pixelBytes;
    const std::uint64_t bytes = rowBytes * std::uint64_t(height);
    if (rowBytes > std::uint64_t(std::numeric_limits<std::int32_t>::max()) ||
        bytes > std::uint64_t(std::numeric_limits<std::size_t>::max()))
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    m_buffer.reset(new (std::nothrow) unsigned char[std::size_t(bytes)]());
    if (!m_buffer)
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    m_params.width = std::int32_t(width);
    m_params.height = std::int32_t(height);
    m_params.rowBytes = std::int32_t(rowBytes);
    m_params.format = format == kKelvraRGB16 ? ReFormatRgb16 : ReFormatRgb8;
    m_params.buffer = m_buffer.get();
    if (IKelvraError* error = KelvraReadRect(source, KelvraRect(0, 0, width, height), m_buffer.get(), long(rowBytes)))
        return TL_FILTER_WRAP(error);
    return nullptr;
}

ReStatus CRedEyeFilter::CorrectPixels(const CTlRedEyeList& list)
{
    if (list.IsEmpty())
        return ReOk;
    return m_calls.correctRegions(&m_params, list.Get(), nullptr, nullptr, kCorrectionThreshold);
}

IKelvraError* CRedEyeFilter::NotifyRegions(const CTlRedEyeList& list, bool notify)
{
    IKelvraError* chain = nullptr;
    list.ForEach([&](const ReRegion& region) {
        chain = Chain(chain, __LINE__, NotifyChanged(notify, TlRedEyeNoticeRect(region)));
    });
    return chain;
}

// While the buffer waits to be filled again, the filling corrects the lists
// of the mode then current: only the notices go out now.
IKelvraError* CRedEyeFilter::CorrectList(const CTlRedEyeList& list, bool notify)
{
    if (list.IsEmpty())
        return nullptr;
    if (!m_prepare && TlRedEyeStatusCode(CorrectPixels(list)) != 0)
        return TL_FILTER_ERROR(kKelvraOperationFailed);
    m_stale = true;
    return NotifyRegions(list, notify);
}

IKelvraError* CRedEyeFilter::RestoreList(const CTlRedEyeList& list, bool notify)
{
    if (list.IsEmpty())
        return nullptr;
    IKelvraDataSource* source = GetSourceCount() > 0 ? GetSource(0) : nullptr;
    const bool filled = !m_prepare && m_buffer && source != nullptr;
    const KelvraRect picture(0, 0, m_params.width, m_params.height);
    const std::size_t pixelBytes = m_params.format == ReFormatRgb16 ? 6 : 3;
    IKelvraError* chain = nullptr;
    list.ForEach([&](const ReRegion& region) {
        const KelvraRect rect = TlRedEyeNoticeRect(region);
        const KelvraRect rows = rect.Intersection(picture);
        if (filled && !rows.IsEmpty()) {
            unsigned char* at = m_buffer.get() + std::size_t(rows.top) * std::size_t(m_params.rowBytes) +
                                std::size_t(rows.left) * pixelBytes;
            chain = Chain(chain, __LINE__, KelvraReadRect(source, rows, at, m_params.rowBytes));
        }
        m_stale = true;
        chain = Chain(chain, __LINE__, NotifyChanged(notify, rect));
    });
    return chain;
}

bool CRedEyeFilter::NeedsCorrectedRows(const KelvraRect& rect) const
{
    auto meets = [&rect](const CTlRedEyeList& list) {
        bool met = false;
        list.ForEach([&](const ReRegion& region) {
            met = met || !TlRedEyeNoticeRect(region).Intersection(rect).IsEmpty();
        });
        return met;
    };
    if (m_mode == kModeManual)
        return meets(m_manual) || (m_keepAutomatic && meets(m_automatic));
    return meets(m_automatic);
}

IKelvraError* CRedEyeFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    if (IKelvraError* error = Prepare(info))
        return error;
    KelvraRect toFill;
    const bool corrected = tile != nullptr && tile->GetRectToFill(&toFill) && NeedsCorrectedRows(toFill);
    const KelvraRect picture(0, 0, m_params.width, m_params.height);
    auto copy = [&](const CTlTileTarget& target, const CTlSourceTile& sourceTile) -> IKelvraError* {
        if (!corrected)
            return TlCopySourceRows(target, sourceTile);
        const KelvraRect rows = sourceTile.overlap.Intersection(target.toFill).Intersection(picture);
        if (rows.IsEmpty())
            return nullptr;
        const std::size_t pixelBytes = std::size_t(sourceTile.pixelBytes);
        const std::size_t rowLength = std::size_t(rows.Width()) * pixelBytes;
        for (long y = rows.top; y < rows.bottom; ++y) {
            const unsigned char* from = m_buffer.get() + std::size_t(y) * std::size_t(m_params.rowBytes) +
                                        std::size_t(rows.left) * pixelBytes;
            std::memcpy(target.At(rows.left, y), from, rowLength);
        }
        return nullptr;
    };
    return GenerateFromSourceTiles(tile, info, kRgbOnly, copy);
}
