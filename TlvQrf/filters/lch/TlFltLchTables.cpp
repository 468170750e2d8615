// The tables the LCH editor is handed: its three curves and the threshold.
#include "filters/lch/TlFltLch.h"

#include <algorithm>
#include <new>

namespace {

// Entries and values of at most 16 bits: the widths the tables can hold.
constexpr int kMaxBits = 16;
// What null tables or a count of 0 stand for: three 2-entry identity ramps.
const std::uint16_t* const kNoTables[CFltLch::kCurveCount] = {};
constexpr int kDefaultBits = 1;

std::size_t EntriesOf(int inBits)
{
    return std::size_t(1) << inBits;
}

} // namespace

bool CFltLch::AreValidWidths(int inBits, int outBits)
{
    return inBits >= 1 && inBits <= kMaxBits && outBits >= 1 && outBits <= kMaxBits;
}

CFltLch::Table CFltLch::TableOrRamp(const std::uint16_t* table, int inBits, int outBits)
{
    const std::size_t entries = EntriesOf(inBits);
    if (table != nullptr)
        return Table(table, table + entries);
    Table ramp(entries);
    for (std::size_t k = 0; k < entries; ++k)
        ramp[k] = static_cast<std::uint16_t>((k << outBits) >> inBits);
    return ramp;
}

bool CFltLch::SameCurveTables(const std::uint16_t* const* tables, int inBits, int outBits, int count) const
{
    if (inBits != m_inBits || outBits != m_outBits)
        return false;
    const std::size_t entries = EntriesOf(inBits);
    for (int k = 0; k < count; ++k) {
        const Table& stored = m_sourceTables[k];
        if (tables[k] == nullptr || stored.size() != entries || !std::equal(stored.begin(), stored.end(), tables[k]))
            return false;
    }
    return std::all_of(m_sourceTables + count, m_sourceTables + kCurveCount,
                       [](const Table& stored) { return stored.empty(); });
}

IKelvraError* CFltLch::StoreCurveTables(const std::uint16_t* const* tables, int inBits, int outBits, int count)
{
    Table replacements[kCurveCount];
    try {
        for (int k = 0; k < count; ++k)
            replacements[k] = TableOrRamp(tables[k], inBits, outBits);
    } catch (const std::bad_alloc&) {
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    }
    for (int k = 0; k < kCurveCount; ++k)
        m_sourceTables[k].swap(replacements[k]); // beyond count: emptied
    m_inBits = inBits;
    m_outBits = outBits;
    m_tablesStale = true;
    m_stale = true;
    return nullptr;
}

IKelvraError* CFltLch::SetLuts(const std::uint16_t* const* tables, int inBits, int outBits, int count, bool notify)
{
    if (tables == nullptr || count == 0) {
        tables = kNoTables;
        inBits = outBits = kDefaultBits;
        count = kCurveCount;
    }
    if (count < 0 || count > kCountWithThreshold || !AreValidWidths(inBits, outBits))
        return TL_FILTER_ERROR(kKelvraBadArgument);
    const bool thresholdGiven = count == kCountWithThreshold;
    const int curves = std::min(count, int(kCurveCount));

    const bool unchanged = SameCurveTables(tables, inBits, outBits, curves);
    if (!unchanged) {
        if (IKelvraError* error = StoreCurveTables(tables, inBits, outBits, curves))
            return error;
    }
    // A call that hands over a threshold table is announced even when
    // nothing changed; one without it only when the curves changed.
    if (thresholdGiven) {
        if (IKelvraError* error = SetThresholdTable(tables[kCurveCount], inBits, outBits))
            return TL_FILTER_WRAP(error);
    } else if (unchanged) {
        return nullptr;
    }
    m_tablesStale = true;
    return NotifyChanged(notify);
}

IKelvraError* CFltLch::SetThresholdTable(const std::uint16_t* table, int inBits, int outBits)
{
    if (!AreValidWidths(inBits, outBits))
        return TL_FILTER_ERROR(kKelvraBadArgument);
    try {
        Table replacement = TableOrRamp(table, inBits, outBits);
        if (inBits == m_thresholdInBits && outBits == m_thresholdOutBits && replacement == m_thresholdSource)
            return nullptr;
        m_thresholdSource.swap(replacement);
    } catch (const std::bad_alloc&) {
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    }
    m_thresholdInBits = inBits;
    m_thresholdOutBits = outBits;
    m_thresholdStale = true;
    m_stale = true;
    return nullptr;
}
