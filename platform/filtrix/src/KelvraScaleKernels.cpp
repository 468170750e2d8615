#include "KelvraScaleKernels.h"

#include "kelvra/KelvraRegion.h"

#include <vector>

namespace {

KelvraRect RegionOf(const KelvraScaleJob& job)
{
    return KelvraRect(job.columns.sourceBegin, job.rows.sourceBegin, job.columns.sourceEnd, job.rows.sourceEnd);
}

template <typename Sample>
const Sample* RowAt(const std::uint8_t* pixels, long rowBytes, long row)
{
    return reinterpret_cast<const Sample*>(pixels + row * rowBytes);
}

// The outputs whose first tap lies in source positions [begin, end): a run,
// since taps go down the source as outputs go down.
void OutputsStartingIn(const KelvraScaleTaps& taps, long begin, long end, long* first, long* last)
{
    *first = 0;
    while (*first < taps.Size() && taps.first[*first] < begin)
        ++*first;
    *last = *first;
    while (*last < taps.Size() && taps.first[*last] < end)
        ++*last;
}

// One row of sums (pixel `taps.sourceBegin` at `row`) resampled along x
// into `out`, Planes values per output pixel.
template <int Planes>
void HorizontalRow(const float* row, const KelvraScaleTaps& taps, float* out)
{
    for (long o = 0; o < taps.Size(); ++o) {
        const float* in = row + (taps.first[o] - taps.sourceBegin) * Planes;
        const float* weight = taps.weights.data() + taps.offset[o];
        float sum[Planes] = {};
        for (long k = 0; k < taps.count[o]; ++k) {
            for (int p = 0; p < Planes; ++p)
                sum[p] += weight[k] * in[k * Planes + p];
        }
        for (int p = 0; p < Planes; ++p)
            out[o * Planes + p] = sum[p];
    }
}

// Adds a weighed run of source samples to an output row's sums. Blocks of
// a fixed length let the compiler use vector instructions at -O2.
template <typename Sample>
void AccumulateRow(const Sample* row, float weight, long width, float* sums)
{
    const long kBlock = 8;
    long i = 0;
    for (; i + kBlock <= width; i += kBlock) {
        for (long j = 0; j < kBlock; ++j)
            sums[i + j] += weight * float(row[i + j]);
    }
    for (; i < width; ++i)
        sums[i] += weight * float(row[i]);
}

// Hands `width` samples of source row `y` to the sums (rows `stride`
// apart) of every output row that reads that row: outputs from `*low`
// (moved on past those that end above `y`) while their taps start at or
// above it.
template <typename Sample>
void SpreadRow(const Sample* row, long y, const KelvraScaleTaps& taps, long width, long stride, long* low, float* sums)
{
    while (*low < taps.Size() && taps.first[*low] + taps.count[*low] <= y)
        ++*low;
    for (long o = *low; o < taps.Size() && taps.first[o] <= y; ++o) {
        const long k = y - taps.first[o];
        if (k < taps.count[o])
            AccumulateRow(row, taps.weights[std::size_t(taps.offset[o] + k)], width,
                          sums + std::size_t(o) * std::size_t(stride));
    }
}

template <typename Sample>
void StoreRow(const float* values, long width, Sample* target)
{
    for (long i = 0; i < width; ++i)
        target[i] = KelvraToSample<Sample>(values[i]);
}

// Rows first: each source tile, while locked, adds its rows to the sums of
// the output rows that read them, at source width; then each output row is
// resampled along x. Only the block's own rows are resampled along x.
template <typename Sample, int Planes>
IKelvraError* Interpolate(IKelvraDataSource* source, const KelvraScaleJob& job, KelvraTag tag, std::uint8_t* target,
                          long rowBytes)
{
    const KelvraRect region = RegionOf(job);
    const long stride = region.Width() * Planes;
    std::vector<float> sums(std::size_t(job.rows.Size()) * std::size_t(stride), 0.0f);
    IKelvraError* error = KelvraVisitRegion(source, region, tag, [&](const KelvraRegionTile& tile) {
            const KelvraRect& part = tile.part;
            const std::uint8_t* pixels = tile.At(part.left, part.top, Planes * long(sizeof(Sample)));
            const long partRowBytes = tile.rowBytes;
            float* partSums = sums.data() + (part.left - region.left) * Planes;
            long low = 0;
            for (long y = part.top; y < part.bottom; ++y)
                SpreadRow(RowAt<Sample>(pixels, partRowBytes, y - part.top), y, job.rows, part.Width() * Planes, stride,
                          &low, partSums);
            return static_cast<IKelvraError*>(nullptr);
        });
    if (error)
        return error;
    const long width = job.columns.Size() * Planes;
    std::vector<float> values(std::size_t(width), 0.0f);
    for (long o = 0; o < job.rows.Size(); ++o) {
        HorizontalRow<Planes>(&sums[std::size_t(o) * std::size_t(stride)], job.columns, values.data());
        StoreRow(values.data(), width, reinterpret_cast<Sample*>(target + o * rowBytes));
    }
    return nullptr;
}

// Each output pixel copies its one source pixel from the tile that holds it.
template <typename Sample, int Planes>
IKelvraError* Copy(IKelvraDataSource* source, const KelvraScaleJob& job, KelvraTag tag, std::uint8_t* target,
                   long rowBytes)
{
    return KelvraVisitRegion(source, RegionOf(job), tag, [&](const KelvraRegionTile& tile) {
            const KelvraRect& part = tile.part;
            const std::uint8_t* pixels = tile.At(part.left, part.top, Planes * long(sizeof(Sample)));
            const long partRowBytes = tile.rowBytes;
            long firstColumn = 0, lastColumn = 0, firstRow = 0, lastRow = 0;
            OutputsStartingIn(job.columns, part.left, part.right, &firstColumn, &lastColumn);
            OutputsStartingIn(job.rows, part.top, part.bottom, &firstRow, &lastRow);
            for (long o = firstRow; o < lastRow; ++o) {
                const Sample* row = RowAt<Sample>(pixels, partRowBytes, job.rows.first[o] - part.top);
                auto* out = reinterpret_cast<Sample*>(target + o * rowBytes);
                for (long c = firstColumn; c < lastColumn; ++c) {
                    const Sample* in = row + (job.columns.first[c] - part.left) * Planes;
                    for (int p = 0; p < Planes; ++p)
                        out[c * Planes + p] = in[p];
                }
            }
            return static_cast<IKelvraError*>(nullptr);
        });
}

} // namespace

IKelvraError* KelvraRunScale(IKelvraDataSource* source, const KelvraScaleJob& job, KelvraTag tag,
                             std::uint8_t* target, long rowBytes)
{
    return KelvraWithSamples(job.layout, [&](auto sample, auto planes) {
        using Sample = decltype(sample);
        constexpr int kPlanes = decltype(planes)::value;
        return job.copies ? Copy<Sample, kPlanes>(source, job, tag, target, rowBytes)
                          : Interpolate<Sample, kPlanes>(source, job, tag, target, rowBytes);
    });
}
