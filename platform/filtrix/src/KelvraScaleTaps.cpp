#include "KelvraScaleTaps.h"

#include <algorithm>
#include <cmath>

namespace {

// Weights below this share of a tap set add nothing visible and are left out.
const double kNegligibleWeight = 1e-7;

struct Tap {
    long position;
    double weight;
};

long Clamp(long value, long size)
{
    return std::min(std::max(value, 0L), size - 1);
}

// `step` is the source length of one output pixel.
void NearestTaps(double step, long size, long out, std::vector<Tap>* taps)
{
    taps->push_back({Clamp(long(std::floor((double(out) + 0.5) * step)), size), 1.0});
}

void LinearTaps(double step, long size, long out, std::vector<Tap>* taps)
{
    const double centre = std::min(std::max((double(out) + 0.5) * step - 0.5, 0.0), double(size - 1));
    const long left = long(std::floor(centre));
    const double fraction = centre - double(left);
    taps->push_back({left, 1.0 - fraction});
    if (left + 1 < size)
        taps->push_back({left + 1, fraction});
}

void BoxTaps(double step, long size, long out, std::vector<Tap>* taps)
{
    const double start = double(out) * step, end = std::min(double(out + 1) * step, double(size));
    for (long position = long(std::floor(start)); double(position) < end && position < size; ++position) {
        const double covered = std::min(end, double(position + 1)) - std::max(start, double(position));
        taps->push_back({position, covered / step});
    }
    if (taps->empty()) // only when the output is larger than the source allows
        taps->push_back({size - 1, 1.0});
}

void TapsOf(KelvraResampling resampling, double step, long size, long out, std::vector<Tap>* taps)
{
    taps->clear();
    switch (resampling) {
    case KelvraResampling::Nearest:
        NearestTaps(step, size, out, taps);
        break;
    case KelvraResampling::Linear:
        LinearTaps(step, size, out, taps);
        break;
    case KelvraResampling::Box:
        BoxTaps(step, size, out, taps);
        break;
    }
    taps->erase(std::remove_if(taps->begin(), taps->end(), [](const Tap& tap) { return tap.weight < kNegligibleWeight; }),
                taps->end());
}

void Append(const std::vector<Tap>& taps, KelvraScaleTaps* table)
{
    double sum = 0;
    for (const Tap& tap : taps)
        sum += tap.weight;
    table->first.push_back(taps.front().position);
    table->count.push_back(long(taps.size()));
    table->offset.push_back(long(table->weights.size()));
    for (const Tap& tap : taps)
        table->weights.push_back(float(tap.weight / sum));
    table->sourceBegin = std::min(table->sourceBegin, taps.front().position);
    table->sourceEnd = std::max(table->sourceEnd, taps.back().position + 1);
}

} // namespace

KelvraResampling KelvraAxisResampling(long method, long sourceSize, long outputSize)
{
    if (method == 0)
        return KelvraResampling::Nearest;
    return method == 2 && outputSize < sourceSize ? KelvraResampling::Box : KelvraResampling::Linear;
}

KelvraScaleTaps KelvraMakeTaps(KelvraResampling resampling, long sourceSize, long outputSize, long begin, long end)
{
    KelvraScaleTaps table;
    table.sourceBegin = sourceSize;
    table.sourceEnd = 0;
    const long count = std::max(end - begin, 0L);
    table.first.reserve(std::size_t(count));
    table.count.reserve(std::size_t(count));
    table.offset.reserve(std::size_t(count));
    const double step = double(sourceSize) / double(outputSize);
    std::vector<Tap> taps;
    for (long out = begin; out < end; ++out) {
        TapsOf(resampling, step, sourceSize, out, &taps);
        if (taps.empty()) // every weight negligible: keep the nearest pixel
            NearestTaps(step, sourceSize, out, &taps);
        Append(taps, &table);
    }
    return table;
}
