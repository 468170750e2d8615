#include "params/TlGainTables.h"

#include "params/TlvParamSet.h"

#include <new>

namespace {

constexpr std::size_t kEntries = std::size_t(1) << kTlGainTableBits;

void FillGain(double multiplier, std::vector<std::uint16_t>& table)
{
    const double gain = SaneMultiplier(multiplier);
    for (std::size_t i = 0; i < kEntries; ++i) {
        // Compared before the conversion: a huge gain must not overflow it.
        const double value = double(i) * gain;
        table[i] = value >= kTlGainTableTop ? kTlGainTableTop : static_cast<std::uint16_t>(value);
    }
}

} // namespace

bool BuildGainTables(double redMultiplier, double blueMultiplier, STlGainTables& tables)
{
    try {
        tables.red.assign(kEntries, 0);
        tables.green.assign(kEntries, 0);
        tables.blue.assign(kEntries, 0);
    } catch (const std::bad_alloc&) {
        tables = STlGainTables();
        return false;
    }
    FillGain(redMultiplier, tables.red);
    FillGain(1.0, tables.green);
    FillGain(blueMultiplier, tables.blue);
    return true;
}
