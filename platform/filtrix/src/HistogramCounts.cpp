#include "HistogramCounts.h"

#include "FiltrixSamples.h"
#include "kelvra/KelvraData.h"

void CountHistogramRun(const HistogramLayout& layout, const std::uint8_t* pixels, long count,
                       HistogramShare* share)
{
    const long planes = layout.Planes(), bins = layout.Bins();
    const auto* wide = reinterpret_cast<const std::uint16_t*>(pixels);
    const bool is16 = KelvraIs16Bit(layout.format);
    std::uint16_t* counts = share->data();
    for (long i = 0; i < count * planes; ++i) {
        const unsigned sample = is16 ? wide[i] : pixels[i];
        ++counts[(i % planes) * bins + long(layout.BinOf(sample))];
    }
}

bool CHistogramCounts::CanCount(const HistogramLayout& layout)
{
    return FiltrixIsSampleFormat(layout.format) && layout.tileSize > 0 && layout.tileSize * layout.tileSize <= 65535;
}

void CHistogramCounts::Reset(const HistogramLayout& layout)
{
    Clear();
    m_totals.assign(std::size_t(layout.Channels() * layout.Bins()), 0);
    m_layout = layout;
    m_hasLayout = true;
    long firstColumn = 0, firstRow = 0, lastColumn = -1, lastRow = -1;
    AreaTiles(&firstColumn, &firstRow, &lastColumn, &lastRow);
    m_needed = (lastColumn - firstColumn + 1) * (lastRow - firstRow + 1);
}

void CHistogramCounts::Clear()
{
    m_layout = HistogramLayout();
    m_hasLayout = false;
    m_shares.clear();
    m_totals.clear();
    m_counted = 0;
    m_needed = 0;
}

bool CHistogramCounts::AreaTiles(long* firstColumn, long* firstRow, long* lastColumn, long* lastRow) const
{
    const KelvraRect& area = m_layout.area;
    if (!m_hasLayout || area.IsEmpty())
        return false;
    *firstColumn = area.left / m_layout.tileSize;
    *firstRow = area.top / m_layout.tileSize;
    *lastColumn = (area.right - 1) / m_layout.tileSize;
    *lastRow = (area.bottom - 1) / m_layout.tileSize;
    return true;
}

KelvraRect CHistogramCounts::AreaOf(long column, long row) const
{
    const long size = m_layout.tileSize;
    return KelvraRect(column * size, row * size, (column + 1) * size, (row + 1) * size).Intersection(m_layout.area);
}

bool CHistogramCounts::IsCounted(long column, long row) const
{
    return m_shares.count(KelvraTileId(column, row)) != 0;
}

void CHistogramCounts::Apply(const HistogramShare& share, bool add)
{
    const long planes = m_layout.Planes(), bins = m_layout.Bins();
    for (long p = 0; p < planes; ++p) {
        for (long b = 0; b < bins; ++b) {
            const std::uint32_t count = share[std::size_t(p * bins + b)];
            // Channel 0 of several planes counts every plane's samples.
            std::uint32_t& all = m_totals[std::size_t(b)];
            all = add ? all + count : all - count;
            if (planes > 1) {
                std::uint32_t& own = m_totals[std::size_t((p + 1) * bins + b)];
                own = add ? own + count : own - count;
            }
        }
    }
}

bool CHistogramCounts::Add(long column, long row, HistogramShare&& share)
{
    auto inserted = m_shares.emplace(KelvraTileId(column, row), std::move(share));
    if (!inserted.second)
        return false;
    Apply(inserted.first->second, true);
    ++m_counted;
    return true;
}

bool CHistogramCounts::Remove(const KelvraRect& rect)
{
    bool removed = false;
    for (auto it = m_shares.begin(); it != m_shares.end();) {
        if (AreaOf(KelvraTileColumn(it->first), KelvraTileRow(it->first)).Intersects(rect)) {
            Apply(it->second, false);
            it = m_shares.erase(it);
            --m_counted;
            removed = true;
        } else {
            ++it;
        }
    }
    return removed;
}

void CHistogramCounts::ReleaseShares()
{
    std::map<long, HistogramShare>().swap(m_shares);
}

std::vector<long> CHistogramCounts::Missing() const
{
    std::vector<long> missing;
    long firstColumn = 0, firstRow = 0, lastColumn = -1, lastRow = -1;
    if (!AreaTiles(&firstColumn, &firstRow, &lastColumn, &lastRow))
        return missing;
    for (long row = firstRow; row <= lastRow; ++row) {
        for (long column = firstColumn; column <= lastColumn; ++column) {
            if (!IsCounted(column, row))
                missing.push_back(KelvraTileId(column, row));
        }
    }
    return missing;
}

std::vector<std::uint32_t> CHistogramCounts::Channel(long channel) const
{
    if (!m_hasLayout || channel < 0 || channel >= m_layout.Channels())
        return {};
    const auto first = m_totals.begin() + channel * m_layout.Bins();
    return std::vector<std::uint32_t>(first, first + m_layout.Bins());
}
