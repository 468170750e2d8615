// The pixel work of the fisheye correction: every output pixel takes the
// value at the point the inverse curve sends it to, interpolated with a
// radial cubic kernel from a padded window of the source that covers every
// such point of the tile.
#include "filters/fisheye/TlFisheyeFilter.h"

#include "filters/fisheye/TlFisheyeGeometry.h"
#include "filters/frame/TlTilePixelCursor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

extern const char kTlFisheyeNotInitialized[] = "Fisheye Filter not initialized";

const std::uint8_t CFisheyeFilter::kFillColors[kFillColorCount][3] = {
    {0xFF, 0xFF, 0xFF}, {0xD3, 0xD3, 0xD3}, {0xA9, 0xA9, 0xA9}, {0x00, 0x00, 0x00}, {0xFF, 0x00, 0x00},
    {0x00, 0x80, 0x00}, {0x00, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0x00, 0xFF}, {0xFF, 0xFF, 0x00},
};

namespace {

constexpr int kChannels = 3;
// Tiles the window reader keeps locked: a few across a row of the window.
constexpr int kCursorTiles = 8;

bool IsFisheyeFormat(KelvraPixelFormat format)
{
    return format == kKelvraRGB8 || format == kKelvraRGB16;
}

// The radial cubic kernel at distance t.
double Kernel(double t)
{
    if (t < 1.0)
        return (1.5 * t - 2.5) * t * t + 1.0;
    if (t < 2.0)
        return ((-0.5 * t + 2.5) * t - 4.0) * t + 2.0;
    return 0.0;
}

// The source pixels of a window with one pixel of margin before it and two
// after it each way; margin outside the image repeats the window's edge.
template <typename Sample>
class CPaddedWindow {
public:
    CPaddedWindow(const KelvraRect& window, long width, long height)
        : m_window(window), m_left(window.left - 1), m_top(window.top - 1),
          m_cols(window.IsEmpty() ? 0 : window.Width() + 3), m_rows(window.IsEmpty() ? 0 : window.Height() + 3),
          m_width(width), m_height(height), m_pixels(std::size_t(m_cols * m_rows * kChannels), 0)
    {
    }

    bool IsEmpty() const { return m_pixels.empty(); }

    // A pixel the cursor cannot read stays zero; the pass goes on.
    void Read(IKelvraDataSource* source)
    {
        CTilePixelCursor cursor(0, source, kCursorTiles);
        for (long row = 0; row < m_rows; ++row) {
            const long y = Inside(m_top + row, m_height, m_window.top, m_window.bottom);
            Sample* out = &m_pixels[std::size_t(row * m_cols * kChannels)];
            for (long col = 0; col < m_cols; ++col, out += kChannels) {
                const long x = Inside(m_left + col, m_width, m_window.left, m_window.right);
                IKelvraError::Release(cursor.MoveTo(x, y));
                const auto* in = reinterpret_cast<const Sample*>(cursor.Sample());
                if (in)
                    std::copy(in, in + kChannels, out);
            }
        }
    }

    // Pixel (x, y) of the image; a point outside the padded window reads the
    // nearest pixel of it.
    const Sample* At(long x, long y) const
    {
        const long col = std::clamp(x - m_left, 0L, m_cols - 1);
        const long row = std::clamp(y - m_top, 0L, m_rows - 1);
        return &m_pixels[std::size_t((row * m_cols + col) * kChannels)];
    }

private:
    // Margin positions outside the image come back onto the window's edge.
    static long Inside(long position, long size, long first, long end)
    {
        return position >= 0 && position < size ? position : std::clamp(position, first, end - 1);
    }

    KelvraRect m_window;
    long m_left;
    long m_top;
    long m_cols;
    long m_rows;
    long m_width;
    long m_height;
    std::vector<Sample> m_pixels;
};

template <typename Sample>
void Interpolate(const CPaddedWindow<Sample>& window, double sx, double sy, Sample* out)
{
    constexpr double kTop = double(Sample(~Sample(0)));
    const long fx = long(std::floor(sx));
    const long fy = long(std::floor(sy));
    double weights = 0.0;
    double sums[kChannels] = {};
    for (long row = fy - 1; row <= fy + 2; ++row) {
        for (long col = fx - 1; col <= fx + 2; ++col) {
            const double dx = sx - double(col);
            const double dy = sy - double(row);
            const double squared = dx * dx + dy * dy;
            // The kernel ends at distance 2: no root needed beyond it.
            if (squared >= 4.0)
                continue;
            const double w = Kernel(std::sqrt(squared));
            const Sample* pixel = window.At(col, row);
            weights += w;
            for (int c = 0; c < kChannels; ++c)
                sums[c] += w * double(pixel[c]);
        }
    }
    const double scale = 1.0 / weights;
    for (int c = 0; c < kChannels; ++c)
        out[c] = Sample(std::clamp(std::trunc(sums[c] * scale), 0.0, kTop));
}

template <typename Sample>
void PaintFill(const CTlTileTarget& target, const std::uint8_t (&color)[3])
{
    constexpr unsigned kWiden = sizeof(Sample) == 2 ? 257u : 1u;
    for (long y = target.toFill.top; y < target.toFill.bottom; ++y) {
        Sample* out = reinterpret_cast<Sample*>(target.At(target.toFill.left, y));
        for (long x = target.toFill.left; x < target.toFill.right; ++x, out += kChannels)
            for (int c = 0; c < kChannels; ++c)
                out[c] = Sample(color[c] * kWiden);
    }
}

} // namespace

template <typename Sample>
void CFisheyeFilter::Reproject(const CTlTileTarget& target, const CTlFisheyeGeometry& inverse) const
{
    const bool filled = m_fillMode == 1;
    if (filled)
        PaintFill<Sample>(target, kFillColors[m_fillColorIndex]);
    const KelvraRect window = KelvraRect(inverse.MapRect(KelvraDblRect(target.toFill)));
    CPaddedWindow<Sample> pixels(window, target.sourceWidth, target.sourceHeight);
    pixels.Read(target.source);
    for (long y = target.toFill.top; y < target.toFill.bottom; ++y) {
        Sample* out = reinterpret_cast<Sample*>(target.At(target.toFill.left, y));
        for (long x = target.toFill.left; x < target.toFill.right; ++x, out += kChannels) {
            double sx = double(x), sy = double(y);
            inverse.MapPoint(&sx, &sy);
            const bool inside = sx >= 0.0 && sx < double(target.sourceWidth) && sy >= 0.0 &&
                                sy < double(target.sourceHeight) && !pixels.IsEmpty();
            if (inside)
                Interpolate(pixels, sx, sy, out);
            else if (!filled)
                std::fill(out, out + kChannels, Sample(0)); // as a new tile holds: the same pixels every time
        }
    }
}

IKelvraError* CFisheyeFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    const double* curve = CurveFor(Direction::Inverse);
    if (m_lensInformation.Get() == nullptr || curve == nullptr)
        return TL_FILTER_TEXT(kTlFisheyeNotInitialized);
    auto reproject = [this, curve](const CTlTileTarget& target) -> IKelvraError* {
        const CTlFisheyeGeometry inverse(target.sourceWidth, target.sourceHeight, curve);
        if (target.sourceFormat == kKelvraRGB8)
            Reproject<std::uint8_t>(target, inverse);
        else
            Reproject<std::uint16_t>(target, inverse);
        return nullptr;
    };
    return GenerateTarget(tile, info, CTlFormatCheck{IsFisheyeFormat, TlFormatRejection::Text}, reproject);
}
