#include "filtrix/KelvraFilterGrid.h"

#include "FiltrixSamples.h"
#include "FiltrixTileRows.h"
#include "GridLines.h"

#include <cstring>

namespace {

// Flips the top bit of every sample of one pixel.
void MarkPixel(std::uint8_t* pixel, long samples, bool wide)
{
    for (long s = 0; s < samples; ++s) {
        if (wide)
            pixel[2 * s + 1] ^= 0x80; // little-endian: the high byte comes second
        else
            pixel[s] ^= 0x80;
    }
}

} // namespace

CKelvraFilterGrid::CKelvraFilterGrid(IKelvraManager* manager) : CKelvraFilterBase(manager, 1) {}

KelvraTag CKelvraFilterGrid::GetFilterTag() const
{
    return kTag;
}

const char* CKelvraFilterGrid::GetFilterName() const
{
    return "Grid";
}

IKelvraError* CKelvraFilterGrid::GetAssumedImageSize(long* width, long* height, double* scale) const
{
    if (!width || !height || !scale)
        return KELVRA_ERROR(nullptr, kTag, kKelvraMissingObject);
    std::lock_guard<CKelvraLock> guard(m_lock);
    *width = m_width;
    *height = m_height;
    *scale = m_scale;
    return nullptr;
}

IKelvraError* CKelvraFilterGrid::SetAssumedImageSize(long width, long height, double scale, bool notify)
{
    if (width < 0 || height < 0 || !(scale > 0))
        return KELVRA_ERROR(nullptr, kTag, kKelvraBadArgument);
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (width == m_width && height == m_height && scale == m_scale)
            return nullptr;
        m_width = width;
        m_height = height;
        m_scale = scale;
        m_stale = true;
    }
    return NotifyChanged(notify);
}

IKelvraError* CKelvraFilterGrid::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    IKelvraDataSource* source = nullptr;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = FiltrixFirstSource(kTag, SourcesFor(info), FiltrixIsSampleFormat, &source, &format))
        return error;
    long width = 0, height = 0;
    double scale = 1.0;
    IKelvraError::Release(GetAssumedImageSize(&width, &height, &scale));
    if (width == 0 || height == 0) {
        if (IKelvraError* error = source->GetSize(&width, &height))
            return KELVRA_WRAP(nullptr, kTag, error);
    }
    const GridLines lines = PlanGridLines(width, height, scale, kGridCells);
    const bool wide = KelvraIs16Bit(format);
    const long samples = long(KelvraPlaneCount(format));
    const long pixelBytes = long(KelvraBitsPerPixel(format) / 8);
    return FiltrixFillTile(kTag, tile, source, format, 0, 0, [&](const FiltrixRowRun& run) {
        std::memcpy(run.target, run.source, std::size_t(run.count * pixelBytes));
        const bool wholeRow = lines.On(run.y);
        for (long i = 0; i < run.count; ++i) {
            if (wholeRow || lines.On(run.x + i))
                MarkPixel(run.target + i * pixelBytes, samples, wide);
        }
    });
}
