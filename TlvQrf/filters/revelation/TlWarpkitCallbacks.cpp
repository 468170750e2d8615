#include "filters/revelation/TlWarpkitCallbacks.h"

#include "filters/revelation/TlWarpkitLibrary.h"
#include "kelvra/KelvraTypes.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

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

// One sample of a row read from a framework image, on the 16-bit scale.
std::uint16_t SampleAt(const std::uint8_t* row, bool wide, std::size_t index)
{
    if (wide)
        return reinterpret_cast<const std::uint16_t*>(row)[index];
    return std::uint16_t(row[index] * 257u);
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
    const long rowBytes = KelvraRowBytes(format, long(layout.width));
    std::vector<std::uint8_t> rows(std::size_t(rowBytes) * layout.height);
    const KelvraRect area(rect.left, rect.top, rect.right, rect.bottom);
    if (IKelvraError* error = KelvraReadRect(source, area, rows.data(), rowBytes))
        return error;
    const bool wide = IsWide(format);
    const std::size_t samples = std::size_t(KelvraPlaneCount(format));
    for (std::size_t y = 0; y < layout.height; ++y) {
        const std::uint8_t* row = rows.data() + y * std::size_t(rowBytes);
        for (std::size_t x = 0; x < layout.width; ++x) {
            for (std::size_t p = 0; p < planeCount; ++p)
                planes[p * layout.plane + y * layout.width + x] = SampleAt(row, wide, x * samples + std::min(p, samples - 1));
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
    const long rowBytes = KelvraRowBytes(format, long(layout.width));
    std::vector<std::uint8_t> rows(std::size_t(rowBytes) * layout.height);
    const bool wide = IsWide(format);
    const std::size_t samples = std::size_t(KelvraPlaneCount(format));
    for (std::size_t y = 0; y < layout.height; ++y) {
        std::uint8_t* row = rows.data() + y * std::size_t(rowBytes);
        for (std::size_t x = 0; x < layout.width; ++x) {
            for (std::size_t p = 0; p < samples; ++p) {
                const std::uint16_t v = planes[p * layout.plane + y * layout.width + x];
                if (wide)
                    reinterpret_cast<std::uint16_t*>(row)[x * samples + p] = v;
                else
                    row[x * samples + p] = std::uint8_t(v >> 8);
            }
        }
    }
    return KelvraWriteRect(image, KelvraRect(rect.left, rect.top, rect.right, rect.bottom), rows.data(), rowBytes);
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
