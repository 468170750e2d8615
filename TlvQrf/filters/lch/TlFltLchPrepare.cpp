// The tables the LCH editor's worker reads, prepared for the image's bit
// depth from the tables it was handed.
#include "filters/lch/TlFltLch.h"

#include "filters/lch/TlChromaRule.h"
#include "filters/lch/TlLightnessRatio.h"

#include <cstddef>
#include <new>

namespace {

// The prepared threshold tops out at a quarter of the chroma range (in
// 16 bits 64 x 257, so that 8-bit and 16-bit thresholds agree).
constexpr std::int64_t kThresholdTop8 = 64;
constexpr std::int64_t kThresholdTop16 = 16448;

// A value of `from` bits widened or narrowed to `to` bits.
std::int64_t ConvertWidth(std::int64_t value, int from, int to)
{
    if (from == to)
        return value;
    if (from > to)
        return value >> (from - to);
    if (2 * from >= to)
        return (value << (to - from)) | (value >> (2 * from - to));
    return value * ((std::int64_t(1) << to) - 1) / ((std::int64_t(1) << from) - 1);
}

// The chroma change in percent of a prepared chroma-by-hue entry: the middle
// of the range is 0, its ends -100 and almost +100.
std::int16_t ChangeOf(std::int64_t entry, int bits)
{
    const std::int64_t levels = std::int64_t(1) << bits;
    return std::int16_t((entry * 2 * kTlMaxChromaChange - kTlMaxChromaChange * levels) / levels);
}

} // namespace

IKelvraError* CFltLch::ResampleTable(int bits, bool reallocate, const Table& source, Table& target, int srcInBits,
                                     int srcOutBits) const
{
    if (bits < 1 || bits > 16 || srcInBits < 1 || srcInBits > 16 || srcOutBits < 1 || srcOutBits > 16)
        return TL_FILTER_ERROR(kKelvraBadArgument);
    const std::size_t sourceEntries = std::size_t(1) << srcInBits;
    const std::size_t entries = std::size_t(1) << bits;
    if (source.size() < sourceEntries)
        return TL_FILTER_ERROR(kKelvraBadArgument);
    try {
        if (reallocate)
            Table(entries).swap(target);
        else
            target.resize(entries);
        // All in signed 64 bits: k x n reaches 2^32 for 16-bit tables, and a
        // falling table's steps are negative.
        const std::int64_t n = std::int64_t(sourceEntries) - 1;
        const std::int64_t g = std::int64_t(entries) - 1;
        auto s = [&](std::int64_t j) { return ConvertWidth(source[std::size_t(j)], srcOutBits, bits); };
        for (std::int64_t k = 0; k <= g; ++k) {
            std::int64_t value;
            if (n < g) {
                const std::int64_t j = k * n / g;
                const std::int64_t r = k * n - j * g;
                value = r == 0 ? s(j) : s(j) + r * (s(j + 1) - s(j)) / g;
            } else if (n > g) {
                value = s(k * n / g);
            } else {
                value = s(k);
            }
            target[std::size_t(k)] = std::uint16_t(value);
        }
    } catch (const std::bad_alloc&) {
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    }
    return nullptr;
}

IKelvraError* CFltLch::PrepareTables(int bits, bool reallocate)
{
    Table chromaByHue;
    int resampled = 0;
    for (; resampled < kCurveCount && !m_sourceTables[resampled].empty(); ++resampled) {
        Table& target = resampled == kChromaByHueCurve ? chromaByHue : m_preparedCurves[resampled];
        const Table& source = m_sourceTables[resampled];
        if (IKelvraError* error = ResampleTable(bits, reallocate, source, target, m_inBits, m_outBits))
            return error;
    }
    try {
        ChangeTable change(chromaByHue.size());
        for (std::size_t h = 0; h < chromaByHue.size(); ++h)
            change[h] = ChangeOf(chromaByHue[h], bits);
        m_chromaChange.swap(change);
    } catch (const std::bad_alloc&) {
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    }
    for (int k = resampled; k < kChromaByHueCurve; ++k)
        Table().swap(m_preparedCurves[k]);

    if ((m_thresholdStale || reallocate) && !m_thresholdSource.empty()) {
        if (IKelvraError* error = ResampleTable(bits, reallocate, m_thresholdSource, m_thresholdTable,
                                                m_thresholdInBits, m_thresholdOutBits))
            return error;
        const std::int64_t top = bits == 8 ? kThresholdTop8 : kThresholdTop16;
        for (std::uint16_t& t : m_thresholdTable)
            t = std::uint16_t((t * top) >> bits);
        m_thresholdStale = false;
    }
    m_tablesStale = false;
    m_preparedBits = bits;
    return nullptr;
}

bool CFltLch::NeedsPreparing(int bits) const
{
    return m_tablesStale || bits != m_preparedBits;
}

IKelvraError* CFltLch::PrepareOnce(int bits)
{
    std::lock_guard<CKelvraLock> guard(m_prepareLock);
    if (!NeedsPreparing(bits))
        return nullptr;
    return PrepareTables(bits, bits != m_preparedBits);
}

CTlChromaRule CFltLch::MakeChromaRule(int bits) const
{
    const unsigned levels = 1u << bits;
    const bool thresholdReady = m_thresholdTable.size() == levels;
    return CTlChromaRule(GetLightnessRatioTable(bits == 8 ? kKelvraLCh8 : kKelvraLCh16),
                         thresholdReady ? m_thresholdTable.data() : nullptr, levels);
}
