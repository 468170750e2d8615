#include "LutPlan.h"

#include "FiltrixSamples.h"

#include <algorithm>

unsigned LutOutputDepth(const LutTables& tables, unsigned inputDepth)
{
    if (tables.Empty())
        return inputDepth;
    return tables.outBits <= 8 ? 8u : 16u;
}

unsigned LutIndex(unsigned sample, unsigned inputDepth, unsigned inBits)
{
    if (inBits <= inputDepth)
        return sample >> (inputDepth - inBits);
    return FiltrixRescale(sample, inputDepth, inBits);
}

namespace {

// What one plane does to every input value.
std::vector<std::uint16_t> PlaneTable(const std::vector<std::uint16_t>* table, const LutTables& tables,
                                      unsigned inputDepth, unsigned outputDepth)
{
    const unsigned values = 1u << inputDepth;
    std::vector<std::uint16_t> result(values);
    if (!table) {
        for (unsigned v = 0; v < values; ++v)
            result[v] = std::uint16_t(FiltrixRescale(v, inputDepth, outputDepth));
        return result;
    }
    const unsigned top = (1u << tables.outBits) - 1; // entries above the stated width are clipped
    for (unsigned v = 0; v < values; ++v) {
        const unsigned entry = std::min<unsigned>((*table)[LutIndex(v, inputDepth, unsigned(tables.inBits))], top);
        result[v] = std::uint16_t(FiltrixRescale(entry, unsigned(tables.outBits), outputDepth));
    }
    return result;
}

template <typename In, typename Out>
void Apply(const LutPlan& plan, const In* in, Out* out, long pixels)
{
    const long planes = plan.planes;
    for (long p = 0; p < planes; ++p) {
        const std::uint16_t* table = plan.planeTables[std::size_t(p)].data();
        for (long i = p; i < pixels * planes; i += planes)
            out[i] = Out(table[in[i]]);
    }
}

} // namespace

std::shared_ptr<const LutPlan> MakeLutPlan(const LutTables& tables, unsigned inputDepth, long planes)
{
    auto plan = std::make_shared<LutPlan>();
    plan->inputDepth = inputDepth;
    plan->outputDepth = LutOutputDepth(tables, inputDepth);
    plan->planes = planes;
    const long count = long(tables.tables.size());
    for (long p = 0; p < planes; ++p) {
        const long index = count == 1 ? 0 : p;
        const std::vector<std::uint16_t>* table = index < count ? &tables.tables[std::size_t(index)] : nullptr;
        plan->planeTables.push_back(PlaneTable(table, tables, inputDepth, plan->outputDepth));
    }
    return plan;
}

void ApplyLutPlan(const LutPlan& plan, const std::uint8_t* in, std::uint8_t* out, long pixels)
{
    const bool wideIn = plan.inputDepth == 16, wideOut = plan.outputDepth == 16;
    const auto* in16 = reinterpret_cast<const std::uint16_t*>(in);
    auto* out16 = reinterpret_cast<std::uint16_t*>(out);
    if (wideIn && wideOut)
        Apply(plan, in16, out16, pixels);
    else if (wideIn)
        Apply(plan, in16, out, pixels);
    else if (wideOut)
        Apply(plan, in, out16, pixels);
    else
        Apply(plan, in, out, pixels);
}
