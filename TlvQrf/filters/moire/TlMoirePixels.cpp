// The moire removal of one tile. Each pixel becomes a luminance sum
// Y = s0 + 2 s1 + s2 and two colour differences C1 = s0 - s1, C2 = s2 - s1;
// a ring of three such rows feeds a ring of 33 rows smoothed 1-2-1 both
// ways, and each output pixel walks that ring in eight directions looking
// for neighbours whose colour lies on a diagonal band around its own.
#include "filters/moire/TlMoireFilter.h"

#include "filters/frame/TlClampedRows.h"
#include "filters/frame/TlRowRing.h"
#include "filters/moire/TlMoireThresholds.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The diagonal band of the colour-difference plane: 25 to 65 degrees.
constexpr double kTan25 = 0.4663076581549986;
constexpr double kTan65 = 2.1445069205095586;

constexpr int kReach = 16;               // steps per direction
constexpr int kSmoothedRows = 2 * kReach + 1;
constexpr long kColourMargin = kReach + 1; // columns (and rows) read beyond the tile
constexpr int kPrimeRows = 2 * kColourMargin;

struct Step {
    int dx, dy;
};
constexpr Step kDirections[] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};

bool IsRgb16(KelvraPixelFormat format)
{
    return format == kKelvraRGB16;
}

const CTlFormatCheck kRgb16Only{IsRgb16, TlFormatRejection::Text};

// One tile's walk: rings sized for the tile, read-only filter state.
class MoireTile {
public:
    MoireTile(const CTlTileTarget& target, std::int64_t strength)
        : m_target(target), m_strength(strength), m_left(target.toFill.left),
          m_width((target.toFill.Width() + 7) & ~7L), m_reader(target.source, target.sourceWidth),
          m_colour(3, 3 * (m_width + 2 * kColourMargin)), m_smoothed(kSmoothedRows, 6 * (m_width + 2 * kReach))
    {
    }

    IKelvraError* Run()
    {
        const KelvraRect& rect = m_target.toFill;
        auto feed = [this](long y) { return AddRow(y); };
        auto make = [this, &rect](long y) {
            FilterRow(reinterpret_cast<std::uint16_t*>(m_target.At(rect.left, y)), rect.Width());
        };
        return TlWalkRollingRows(rect, kPrimeRows, feed, make);
    }

private:
    IKelvraError* AddRow(long y)
    {
        std::int32_t* colour = m_colour.Next();
        const long from = m_left - kColourMargin;
        auto toColour = [colour](long i, const unsigned char* sample) {
            std::uint16_t s[3];
            std::memcpy(s, sample, sizeof s);
            std::int32_t* record = colour + 3 * i;
            record[0] = s[0] + 2 * s[1] + s[2];
            record[1] = s[0] - s[1];
            record[2] = s[2] - s[1];
        };
        if (IKelvraError* error = m_reader.Read(y + kColourMargin, from, m_left + m_width + kColourMargin, toColour))
            return error;
        Smooth();
        return nullptr;
    }

    // The newest smoothed row, centred on the colour ring's middle row.
    void Smooth()
    {
        const std::int32_t* above = m_colour.Row(0);
        const std::int32_t* middle = m_colour.Row(1);
        const std::int32_t* below = m_colour.Row(2);
        std::int32_t* out = m_smoothed.Next();
        const long columns = m_width + 2 * kReach;
        std::int32_t vertical[3][3]; // columns j, j + 1, j + 2 of the 1-2-1 column sums
        auto column = [&](long c, std::int32_t* sums) {
            for (int v = 0; v < 3; ++v)
                sums[v] = above[3 * c + v] + 2 * middle[3 * c + v] + below[3 * c + v];
        };
        column(0, vertical[0]);
        column(1, vertical[1]);
        for (long j = 0; j < columns; ++j) {
            column(j + 2, vertical[(j + 2) % 3]);
            std::int32_t* record = out + 6 * j;
            for (int v = 0; v < 3; ++v) {
                record[v] = vertical[j % 3][v] + 2 * vertical[(j + 1) % 3][v] + vertical[(j + 2) % 3][v];
                record[3 + v] = middle[3 * (j + 1) + v];
            }
        }
    }

    void FilterRow(std::uint16_t* out, long count)
    {
        // Where step n of each direction lands from the row's first pixel;
        // from pixel i on, i records further.
        const std::int32_t* steps[8][kReach];
        for (int d = 0; d < 8; ++d)
            for (int n = 1; n <= kReach; ++n)
                steps[d][n - 1] = m_smoothed.Row(kReach + n * kDirections[d].dy) + 6 * (kReach + n * kDirections[d].dx);
        const std::int32_t* centres = m_smoothed.Row(kReach) + 6 * kReach;
        for (long i = 0; i < count; ++i, out += 3)
            FilterPixel(centres + 6 * i, steps, 6 * i, out);
    }

    void FilterPixel(const std::int32_t* p, const std::int32_t* const (&steps)[8][kReach], long offset,
                     std::uint16_t* out) const
    {
        const TlMoireThresholds limits = TlMoireThresholdsFor(m_strength, p[0]);
        std::int64_t sum1 = 0, sum2 = 0;
        int count = 0;
        for (const auto& direction : steps) {
            for (int n = 1; n <= kReach; ++n) {
                const std::int32_t* q = direction[n - 1] + offset;
                const std::int64_t dy = std::abs(p[0] - q[0]);
                if (dy > limits.stop)
                    break;
                if (n % 4 != 0 || dy >= limits.near)
                    continue;
                const std::int64_t d1 = std::abs(p[1] - q[1]);
                const std::int64_t d2 = std::abs(p[2] - q[2]);
                // Both differences 0 is not a ratio and d1 = 0 an infinite
                // one: neither counts.
                if (d1 + d2 >= limits.colour || d1 == 0)
                    continue;
                const double ratio = double(d2) / double(d1);
                if (ratio > kTan25 && ratio < kTan65) {
                    sum1 += q[4];
                    sum2 += q[5];
                    ++count;
                }
            }
        }
        std::int64_t e = p[4], f = p[5];
        if (count > 3) {
            e = (e + sum1) / (count + 1);
            f = (f + sum2) / (count + 1);
        }
        const std::int64_t g = (p[3] - e - f) / 4;
        out[0] = Clamped(e + g);
        out[1] = Clamped(g);
        out[2] = Clamped(f + g);
    }

    static std::uint16_t Clamped(std::int64_t value)
    {
        return std::uint16_t(std::clamp<std::int64_t>(value, 0, 65535));
    }

    const CTlTileTarget& m_target;
    std::int64_t m_strength;
    long m_left;
    long m_width; // the rectangle's width rounded up to a multiple of 8
    CTlClampedRows m_reader;
    CTlRowRing<std::int32_t> m_colour;   // Y, C1, C2
    CTlRowRing<std::int32_t> m_smoothed; // smoothed Y, C1, C2, then the same pixel's unsmoothed three
};

} // namespace

IKelvraError* CMoireFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    const std::int64_t strength = m_strength;
    auto fill = [&](const CTlTileTarget& target) -> IKelvraError* {
        try {
            MoireTile walk(target, strength);
            return TL_FILTER_WRAP(walk.Run());
        } catch (const std::bad_alloc&) {
            return TL_FILTER_ERROR(kKelvraOutOfMemory);
        }
    };
    return GenerateTarget(tile, info, kRgb16Only, fill);
}
