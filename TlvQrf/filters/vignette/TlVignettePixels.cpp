// The vignette's gain table and its pixel pass: the lens model evaluated
// once into a quarter-size table of gain codes, then every sample of a
// pixel brightened by the gain of its cell times the strength.
#include "filters/vignette/TlVignetteFilter.h"

#include "filters/frame/TlPixelFormats.h"
#include "filters/vignette/TlVignetteModel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

bool IsVignetteFormat(KelvraPixelFormat format)
{
    switch (format) {
    case kKelvraGrey8:
    case kKelvraRGB8:
    case 0x08060206:
    case kKelvraCMYK8:
    case kKelvraGrey16:
    case kKelvraRGB16:
    case kKelvraLCh16:
    case kKelvraLab16:
    case kTlThreeSample16Last:
        return true;
    default:
        return false;
    }
}

// The distance of cell i from the centre along an axis of `size` pixels:
// whole for odd sizes, where a pixel sits on the centre, half-way otherwise.
double CellDistance(long i, long size)
{
    return size % 2 == 1 ? double(i) : double(i) + 0.5;
}

// The cell of pixel x along an axis of `size` pixels.
long CellOf(long x, long size)
{
    return std::labs((2 * x - size + 1) / 2);
}

} // namespace

IKelvraError* CVignetteFilter::BuildGainTable(long width, long height)
{
    const std::uint8_t* lensData = m_lens.present ? m_lens.codes : nullptr;
    const TlPupils pupils = TlPupilsFromLensData(lensData);
    m_lensMinFNumber = pupils.minFNumber;
    const TlShortfalls shortfalls = TlLightShortfalls(pupils, m_fNumber, m_sensorDiagonal);

    const int cols = int((width + 1) / 2);
    const int rows = int((height + 1) / 2);
    if (m_gainTable == nullptr || cols != m_cols || rows != m_rows) {
        std::free(m_gainTable);
        m_gainTable = static_cast<std::uint16_t*>(std::malloc(std::size_t(cols) * std::size_t(rows) * 2));
        m_cols = m_gainTable ? cols : 0;
        m_rows = m_gainTable ? rows : 0;
        if (m_gainTable == nullptr)
            return AddError(nullptr, 1000, kKelvraOutOfMemory);
    }

    const std::vector<std::uint16_t> codes = TlRadialCodes(shortfalls, width, height, m_aspectScale);
    for (int j = 0; j < rows; ++j) {
        const double dy = CellDistance(j, height) * m_aspectScale;
        std::uint16_t* row = m_gainTable + std::size_t(j) * std::size_t(cols);
        for (int i = 0; i < cols; ++i) {
            const double dx = CellDistance(i, width);
            // The farthest corner can round onto one past the last entry.
            const std::size_t cell = std::size_t(4.0 * std::sqrt(dx * dx + dy * dy));
            row[i] = codes[std::min(cell, codes.size() - 1)];
        }
    }
    m_tableWidth = width;
    m_tableHeight = height;
    GainTableBuilt();
    return nullptr;
}

IKelvraError* CVignetteFilter::PrepareGainTable(long width, long height)
{
    std::lock_guard<CKelvraLock> guard(m_tableLock);
    // A table made for another size would be read outside its cells.
    if (!m_tableStale && m_gainTable != nullptr && width == m_tableWidth && height == m_tableHeight)
        return nullptr;
    return BuildGainTable(width, height);
}

IKelvraError* CVignetteFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    auto correct = [this](const CTlTileTarget& target, const CTlSourceTile& from) -> IKelvraError* {
        if (IKelvraError* error = PrepareGainTable(target.sourceWidth, target.sourceHeight))
            return TL_FILTER_WRAP(error);
        return CorrectSourceTile(target, from);
    };
    return GenerateFromSourceTiles(tile, info, CTlFormatCheck{IsVignetteFormat, TlFormatRejection::Text}, correct);
}

IKelvraError* CVignetteFilter::CorrectSourceTile(const CTlTileTarget& target, const CTlSourceTile& from) const
{
    const TlSampleLayout layout = TlSampleLayoutOf(target.sourceFormat);
    if (layout.bitsPerSample == 8)
        CorrectPixels<std::uint8_t>(target, from, int(layout.planes));
    else
        CorrectPixels<std::uint16_t>(target, from, int(layout.planes));
    return nullptr;
}

template <typename Sample>
void CVignetteFilter::CorrectPixels(const CTlTileTarget& target, const CTlSourceTile& from, int channels) const
{
    constexpr std::int64_t kTop = Sample(~Sample(0));
    // The strength can reach a few hundred: its product with a saturated
    // term needs more than 32 bits.
    const std::int64_t strength = std::int64_t(m_strength * 8192.0);
    const KelvraRect rect = from.overlap.Intersection(target.toFill);
    for (long y = rect.top; y < rect.bottom; ++y) {
        const std::uint16_t* codes = m_gainTable + std::size_t(CellOf(y, target.sourceHeight)) * std::size_t(m_cols);
        const Sample* in = reinterpret_cast<const Sample*>(from.At(rect.left, y));
        Sample* out = reinterpret_cast<Sample*>(target.At(rect.left, y));
        for (long x = rect.left; x < rect.right; ++x) {
            const std::uint16_t code = codes[CellOf(x, target.sourceWidth)];
            for (int c = 0; c < channels; ++c, ++in, ++out) {
                const std::int64_t term = std::int64_t(TlGainTerm(code, *in));
                const std::int64_t value = std::int64_t(*in) + term * strength / 8192;
                *out = Sample(std::clamp<std::int64_t>(value, 0, kTop));
            }
        }
    }
}
