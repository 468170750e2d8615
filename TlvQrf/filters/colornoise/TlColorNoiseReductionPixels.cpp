// The pixel work of the colour noise reduction, one tile at a time. Source
// rows roll through a ring of 15 rows; with the box pre-pass running column
// sums of the two colour channels feed a ring of 7 rows of 15 x 15 means
// (the first channel kept as it is). Each channel of each output pixel is
// then the mean of its window, every neighbour weighted by how little it
// differs from the centre.
#include "filters/colornoise/TlColorNoiseReductionFilter.h"

#include "filters/colornoise/TlNoiseWindow.h"
#include "filters/frame/TlClampedRows.h"
#include "filters/frame/TlRowRing.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr int kChannels = 3;
constexpr int kSourceRows = 15;
constexpr int kBoxRows = 7;
constexpr long kSourceMargin = 12; // columns read beyond each side
constexpr long kBoxMargin = 4;     // box means made beyond each side
constexpr long kLead = 10;         // feeding row y reads row y + kLead
constexpr long kPrimeRows = 20;
constexpr long kBoxSpan = 15;
// The source row whose box means a feed makes: the ring's middle row.
constexpr int kBoxSourceRow = kSourceRows / 2;

bool IsLab16(KelvraPixelFormat format)
{
    return format == kKelvraLab16;
}

const CTlFormatCheck kLab16Only{IsLab16, TlFormatRejection::Text};

// Three 16-bit channels and a lane that carries none.
struct PixelCell {
    std::uint16_t lane[4];
};

class NoiseTile {
public:
    NoiseTile(const CTlTileTarget& target, const TlNoiseWindow& window, const std::uint16_t* weights)
        : m_target(target), m_window(window), m_weights(weights), m_left(target.toFill.left),
          m_width((target.toFill.Width() + 3) & ~3L), m_reader(target.source, target.sourceWidth),
          m_rows(kSourceRows, m_width + 2 * kSourceMargin),
          m_columnSums(window.boxPrePass ? std::size_t(2 * (m_width + 2 * kSourceMargin)) : 0),
          m_box(kBoxRows, window.boxPrePass ? m_width + 2 * kBoxMargin : 0)
    {
    }

    IKelvraError* Run()
    {
        const KelvraRect& rect = m_target.toFill;
        auto feed = [this](long y) { return Feed(y); };
        auto make = [this, &rect](long y) {
            FilterRow(reinterpret_cast<std::uint16_t*>(m_target.At(rect.left, y)), rect.Width());
        };
        return TlWalkRollingRows(rect, kPrimeRows, feed, make);
    }

private:
    IKelvraError* Feed(long y)
    {
        if (m_window.boxPrePass)
            AddToColumnSums(m_rows.Row(0), -1); // the row that drops out
        PixelCell* row = m_rows.Next();
        auto toCell = [row](long i, const unsigned char* sample) {
            std::memcpy(row[i].lane, sample, kChannels * sizeof(std::uint16_t));
            row[i].lane[3] = 0;
        };
        const long from = m_left - kSourceMargin;
        if (IKelvraError* error = m_reader.Read(y + kLead, from, m_left + m_width + kSourceMargin, toCell))
            return error;
        if (m_window.boxPrePass) {
            AddToColumnSums(row, 1);
            AddBoxRow();
        }
        return nullptr;
    }

    void AddToColumnSums(const PixelCell* row, int sign)
    {
        const long columns = m_width + 2 * kSourceMargin;
        for (long c = 0; c < columns; ++c) {
            m_columnSums[std::size_t(2 * c)] += std::uint32_t(sign * row[c].lane[1]);
            m_columnSums[std::size_t(2 * c + 1)] += std::uint32_t(sign * row[c].lane[2]);
        }
    }

    // Box cell c is centred on ring column c + kSourceMargin - kBoxMargin.
    void AddBoxRow()
    {
        const PixelCell* middle = m_rows.Row(kBoxSourceRow);
        PixelCell* box = m_box.Next();
        const long offset = kSourceMargin - kBoxMargin;
        const long half = kBoxSpan / 2;
        std::uint32_t sum[2] = {0, 0};
        for (long c = offset - half; c <= offset + half; ++c)
            for (int k = 0; k < 2; ++k)
                sum[k] += m_columnSums[std::size_t(2 * c + k)];
        const long cells = m_width + 2 * kBoxMargin;
        for (long c = 0; c < cells; ++c) {
            const long centre = c + offset;
            box[c].lane[0] = middle[centre].lane[0];
            box[c].lane[1] = std::uint16_t(sum[0] / std::uint32_t(kBoxSpan * kBoxSpan));
            box[c].lane[2] = std::uint16_t(sum[1] / std::uint32_t(kBoxSpan * kBoxSpan));
            box[c].lane[3] = 0;
            if (c + 1 < cells) {
                for (int k = 0; k < 2; ++k)
                    sum[k] += m_columnSums[std::size_t(2 * (centre + half + 1) + k)] -
                              m_columnSums[std::size_t(2 * (centre - half) + k)];
            }
        }
    }

    void FilterRow(std::uint16_t* out, long count)
    {
        const int r = m_window.radius;
        const PixelCell* rows[2 * 3 + 1];
        const int centreRow = m_window.boxPrePass ? kBoxRows / 2 : 4;
        for (int dy = -r; dy <= r; ++dy)
            rows[dy + r] = m_window.boxPrePass ? m_box.Row(centreRow + dy) : m_rows.Row(centreRow + dy);
        const long offset = m_window.boxPrePass ? kBoxMargin : kSourceMargin;
        const int span = 2 * r + 1;
        for (long i = 0; i < count; ++i, out += kChannels) {
            const long column = offset + i;
            const PixelCell& centre = rows[r][column];
            std::uint32_t weightSum[kChannels] = {0, 0, 0};
            std::uint32_t valueSum[kChannels] = {0, 0, 0};
            for (int wy = 0; wy < span; ++wy) {
                const PixelCell* cell = rows[wy] + column - r;
                for (int wx = 0; wx < span; ++wx, ++cell) {
                    for (int k = 0; k < kChannels; ++k) {
                        const int v = cell->lane[k];
                        const std::uint32_t w = m_weights[std::abs(v - int(centre.lane[k])) >> 4];
                        weightSum[k] += w;
                        valueSum[k] += w * std::uint32_t(v);
                    }
                }
            }
            for (int k = 0; k < kChannels; ++k)
                out[k] = std::uint16_t(valueSum[k] / weightSum[k]);
        }
    }

    const CTlTileTarget& m_target;
    TlNoiseWindow m_window;
    const std::uint16_t* m_weights;
    long m_left;
    long m_width; // the rectangle's width rounded up to a multiple of 4
    CTlClampedRows m_reader;
    CTlRowRing<PixelCell> m_rows;          // source rows y - 4 to y + 10
    std::vector<std::uint32_t> m_columnSums; // channels 1 and 2 over the 15 rows
    CTlRowRing<PixelCell> m_box;           // box rows y - 3 to y + 3
};

} // namespace

void CColorNoiseReductionFilter::PrepareWeightsOnce()
{
    std::lock_guard<CKelvraLock> guard(m_prepareLock);
    if (!m_weightTableStale && m_weightTable.size() == std::size_t(kTlNoiseWeightCount))
        return;
    TlBuildNoiseWeights(TlNoiseWindowFor(m_strength).rangeWidth, m_weightTable);
    m_weightTableStale = false;
}

IKelvraError* CColorNoiseReductionFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    auto fill = [&](const CTlTileTarget& target) -> IKelvraError* {
        try {
            PrepareWeightsOnce();
            NoiseTile walk(target, TlNoiseWindowFor(m_strength), m_weightTable.data());
            return TL_FILTER_WRAP(walk.Run());
        } catch (const std::bad_alloc&) {
            return TL_FILTER_ERROR(kKelvraOutOfMemory);
        }
    };
    return GenerateTarget(tile, info, kLab16Only, fill);
}
