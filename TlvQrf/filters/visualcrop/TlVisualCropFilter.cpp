#include "filters/visualcrop/TlVisualCropFilter.h"

#include "filters/frame/TlPixelFormats.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

bool IsNoCrop(const KelvraRect& rect)
{
    return rect == KelvraRect();
}

KelvraRect Union(const KelvraRect& a, const KelvraRect& b)
{
    return KelvraRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                      std::max(a.bottom, b.bottom));
}

// A light-grey veil that keeps a quarter of the contrast.
template <typename Sample>
void Veil(const Sample* in, Sample* out, long count)
{
    constexpr unsigned kFloor = (1u << (8 * sizeof(Sample))) / 4;
    for (long i = 0; i < count; ++i)
        out[i] = Sample(kFloor + in[i] / 4u);
}

void VeilBytes(const unsigned char* in, unsigned char* out, long samples, bool wide)
{
    if (wide)
        Veil(reinterpret_cast<const std::uint16_t*>(in), reinterpret_cast<std::uint16_t*>(out), samples);
    else
        Veil(in, out, samples);
}

} // namespace

CVisualCropFilter::CVisualCropFilter(IKelvraManager* manager) : CTlFilter(manager) {}

IKelvraError* CVisualCropFilter::SetRect(const KelvraRect* rect, bool notify)
{
    if (!rect)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    KelvraRect crop = *rect;
    KelvraRect whole;
    IKelvraDataSource* source = GetSource(0);
    if (source) {
        if (IKelvraError* error = source->GetSize(&whole.right, &whole.bottom))
            return TL_FILTER_WRAP(error);
        if (IsNoCrop(crop))
            crop = whole;
    }
    // What was shown unveiled before: no crop showed the whole image.
    const KelvraRect before = IsNoCrop(m_rect) && source ? whole : m_rect;
    auto recomputeBypass = [&] { m_bypass = source ? m_rect == whole : IsNoCrop(m_rect); };
    return ApplySettingIn(Union(before, crop), m_rect, crop, notify, recomputeBypass);
}

IKelvraError* CVisualCropFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    auto veil = [this](const CTlTileTarget& target, const CTlSourceTile& from) { return VeilSourceTile(target, from); };
    return GenerateFromSourceTiles(tile, info, CTlFormatCheck{TlIsRgb, TlFormatRejection::Text}, veil);
}

IKelvraError* CVisualCropFilter::VeilSourceTile(const CTlTileTarget& target, const CTlSourceTile& from) const
{
    const KelvraRect rows = from.overlap.Intersection(target.toFill);
    const bool wide = KelvraIs16Bit(target.sourceFormat);
    const long pixelSamples = long(KelvraPlaneCount(target.sourceFormat));
    const bool noCrop = IsNoCrop(m_rect);
    // Inside is the crop rectangle itself, right and bottom exclusive, for
    // both sample widths.
    const long insideLeft = std::clamp(m_rect.left, rows.left, rows.right);
    const long insideRight = std::clamp(m_rect.right, insideLeft, rows.right);
    for (long y = rows.top; y < rows.bottom; ++y) {
        const unsigned char* in = from.At(rows.left, y);
        unsigned char* out = target.At(rows.left, y);
        if (noCrop) {
            std::memcpy(out, in, std::size_t(rows.Width() * from.pixelBytes));
            continue;
        }
        const bool rowInside = y >= m_rect.top && y < m_rect.bottom;
        const long copyFrom = rowInside ? insideLeft : rows.right;
        const long copyTo = rowInside ? insideRight : rows.right;
        VeilBytes(in, out, (copyFrom - rows.left) * pixelSamples, wide);
        const long copyStart = (copyFrom - rows.left) * from.pixelBytes;
        std::memcpy(out + copyStart, in + copyStart, std::size_t((copyTo - copyFrom) * from.pixelBytes));
        const long tailStart = (copyTo - rows.left) * from.pixelBytes;
        VeilBytes(in + tailStart, out + tailStart, (rows.right - copyTo) * pixelSamples, wide);
    }
    return nullptr;
}
