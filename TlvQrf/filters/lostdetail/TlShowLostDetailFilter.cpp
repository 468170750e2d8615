#include "filters/lostdetail/TlShowLostDetailFilter.h"

#include "filters/frame/TlPixelFormats.h"

#include <limits>

namespace {

bool IsLostDetailFormat(KelvraPixelFormat format)
{
    switch (format) {
    case kKelvraGrey8:
    case kKelvraRGB8:
    case kKelvraCMYK8:
    case kKelvraGrey16:
    case kKelvraRGB16:
        return true;
    default:
        return false;
    }
}

// Above the level: white; below: black; at it: kept.
template <typename Sample>
void MapSamples(const Sample* in, Sample* out, long count, Sample level)
{
    constexpr Sample kWhite = std::numeric_limits<Sample>::max();
    for (long i = 0; i < count; ++i) {
        const Sample v = in[i];
        out[i] = v > level ? kWhite : (v < level ? Sample(0) : v);
    }
}

} // namespace

CShowLostDetailFilter::CShowLostDetailFilter(IKelvraManager* manager) : CTlFilter(manager) {}

IKelvraError* CShowLostDetailFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    auto map = [this](const CTlTileTarget& target, const CTlSourceTile& from) { return MapSourceTile(target, from); };
    return GenerateFromSourceTiles(tile, info, CTlFormatCheck{IsLostDetailFormat, TlFormatRejection::Code}, map);
}

IKelvraError* CShowLostDetailFilter::MapSourceTile(const CTlTileTarget& target, const CTlSourceTile& from) const
{
    const KelvraRect rows = from.overlap.Intersection(target.toFill);
    const long samples = rows.Width() * long(KelvraPlaneCount(target.sourceFormat));
    const bool wide = KelvraIs16Bit(target.sourceFormat);
    // The level lives on the 8-bit scale; 255 and 0 stretch to the ends of
    // the 16-bit scale, so a 16-bit map marks the same clipped samples.
    const std::uint16_t wideLevel = std::uint16_t(m_level * 257u);
    for (long y = rows.top; y < rows.bottom; ++y) {
        const unsigned char* in = from.At(rows.left, y);
        unsigned char* out = target.At(rows.left, y);
        if (wide) {
            MapSamples(reinterpret_cast<const std::uint16_t*>(in), reinterpret_cast<std::uint16_t*>(out), samples,
                       wideLevel);
        } else {
            MapSamples(in, out, samples, m_level);
        }
    }
    return nullptr;
}
