#include "filters/revelation/TlWarpkitCallbacks.h"

#include "filters/revelation/TlWarpkitLibrary.h"
#include "kelvra/KelvraTypes.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>

namespace {

constexpr std::size_t kSuggestCap = 32u << 20;

struct Layout {
    std::size_t width, height, plane;
};

Layout LayoutOf(const WKITRect& rect)
{
    const std::size_t width = std::size_t(rect.right - rect.left), height = std::size_t(rect.bottom - rect.top);
    return {width, height, width * height};
}

bool IsWide(KelvraPixelFormat format)
{
    return KelvraBitsPerSample(format) > 8;
}

// Rows of a framework image, without zeroing what is about to be written.
struct RowBuffer {
    RowBuffer(KelvraPixelFormat format, const Layout& layout)
        : rowBytes(KelvraRowBytes(format, long(layout.width))),
          bytes(new std::uint8_t[std::size_t(rowBytes) * layout.height])
    {
    }
    const std::uint8_t* Row(std::size_t y) const { return bytes.get() + y * std::size_t(rowBytes); }
    std::uint8_t* Row(std::size_t y) { return bytes.get() + y * std::size_t(rowBytes); }

    long rowBytes;
    std::unique_ptr<std::uint8_t[]> bytes;
};

// Sample `channel` of every pixel of a row, on the 16-bit scale.
template <typename Sample>
void SpreadRow(const Sample* row, std::size_t samples, std::size_t channel, std::size_t width, std::uint16_t* plane)
{
    for (std::size_t x = 0; x < width; ++x) {
        const unsigned v = row[x * samples + channel];
        plane[x] = std::uint16_t(sizeof(Sample) == 1 ? v * 257u : v);
    }
}

template <typename Sample>
void GatherRow(const std::uint16_t* plane, std::size_t samples, std::size_t channel, std::size_t width, Sample* row)
{
    for (std::size_t x = 0; x < width; ++x)
        row[x * samples + channel] = Sample(sizeof(Sample) == 1 ? plane[x] >> 8 : plane[x]);
}

// `planeCount` planes (1 or 3) of `source` into `planes`; a grey source
// fills the planes it is asked for with the same values.
IKelvraError* ReadPlanes(IKelvraDataSource* source, const WKITRect& rect, std::size_t planeCount,
                         std::uint16_t* planes)
{
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = source->GetColorSpace(&format))
        return error;
    const Layout layout = LayoutOf(rect);
    RowBuffer rows(format, layout);
    const KelvraRect area(rect.left, rect.top, rect.right, rect.bottom);
    if (IKelvraError* error = KelvraReadRect(source, area, rows.bytes.get(), rows.rowBytes))
        return error;
    const std::size_t samples = std::size_t(KelvraPlaneCount(format));
    for (std::size_t p = 0; p < planeCount; ++p) {
        const std::size_t channel = std::min(p, samples - 1);
        for (std::size_t y = 0; y < layout.height; ++y) {
            std::uint16_t* plane = planes + p * layout.plane + y * layout.width;
            if (IsWide(format))
                SpreadRow(reinterpret_cast<const std::uint16_t*>(rows.Row(y)), samples, channel, layout.width, plane);
            else
                SpreadRow(rows.Row(y), samples, channel, layout.width, plane);
        }
    }
    return nullptr;
}

IKelvraError* WritePlanes(IKelvraImage* image, const WKITRect& rect, const std::uint16_t* planes)
{
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = image->GetColorSpace(&format))
        return error;
    const Layout layout = LayoutOf(rect);
    RowBuffer rows(format, layout);
    const std::size_t samples = std::size_t(KelvraPlaneCount(format));
    for (std::size_t p = 0; p < samples; ++p) {
        for (std::size_t y = 0; y < layout.height; ++y) {
            const std::uint16_t* plane = planes + p * layout.plane + y * layout.width;
            if (IsWide(format))
                GatherRow(plane, samples, p, layout.width, reinterpret_cast<std::uint16_t*>(rows.Row(y)));
            else
                GatherRow(plane, samples, p, layout.width, rows.Row(y));
        }
    }
    return KelvraWriteRect(image, KelvraRect(rect.left, rect.top, rect.right, rect.bottom), rows.bytes.get(),
                           rows.rowBytes);
}

} // namespace

WKITCallbackResult TlWarpkitReadRows(const WKITRect* rect, std::uint16_t* planes, void* context)
{
    const auto* image = static_cast<const TlWarpkitImage*>(context);
    if (!rect || !planes || !image || !image->source)
        return TL_WKIT_ERROR(kKelvraMissingObject);
    try {
        IKelvraError* error = ReadPlanes(image->source, *rect, 3, planes);
        if (!error && image->second)
            error = ReadPlanes(image->second, *rect, 1, planes + 3 * LayoutOf(*rect).plane);
        return error ? IKelvraError::AddWorker(nullptr, KelvraFourCC('W', 'K', 'I', 'T'), __LINE__, error) : nullptr;
    } catch (const std::bad_alloc&) {
        return TL_WKIT_ERROR(kKelvraOutOfMemory);
    }
}

WKITCallbackResult TlWarpkitWriteRows(const WKITRect* rect, const std::uint16_t* planes, void* context)
{
    const auto* image = static_cast<const TlWarpkitImage*>(context);
    if (!rect || !planes || !image || !image->image)
        return TL_WKIT_ERROR(kKelvraMissingObject);
    try {
        IKelvraError* error = WritePlanes(image->image, *rect, planes);
        return error ? IKelvraError::AddWorker(nullptr, KelvraFourCC('W', 'K', 'I', 'T'), __LINE__, error) : nullptr;
    } catch (const std::bad_alloc&) {
        return TL_WKIT_ERROR(kKelvraOutOfMemory);
    }
}

WKITCallbackResult TlWarpkitAllocate(void** block, std::size_t size)
{
    if (!block)
        return TL_WKIT_ERROR(kKelvraMissingObject);
    *block = std::malloc(size ? size : 1);
    return *block ? nullptr : TL_WKIT_ERROR(kKelvraOutOfMemory);
}

WKITCallbackResult TlWarpkitRelease(void* block)
{
    std::free(block);
    return nullptr;
}

WKITCallbackResult TlWarpkitSuggest(std::size_t minimum, std::size_t wish, std::size_t, std::size_t* size)
{
    if (!size)
        return TL_WKIT_ERROR(kKelvraMissingObject);
    *size = std::max(minimum, std::min(wish, kSuggestCap));
    return nullptr;
}
