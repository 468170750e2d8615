// The rendering pass over one band: the band and a margin of the source are
// copied, edges repeated, into the work image; each slice then reads its
// rows and their margin back, takes the local mean brightness (half the
// mean of the 49 x 49 neighbourhood, half the statistics image between its
// block centres) and scales every sample by the gain the tone curve gives
// that mean: shadows lifted, highlights held, the picture's geometry kept.
#include "WkitEngine.h"
#include "WkitRows.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int32_t kMargin = kWKITBandMargin;
constexpr std::int32_t kBox = 2 * kMargin + 1;
constexpr int kGainSteps = 4096; // local means in steps of 16
constexpr std::int32_t kUnitGain = 1 << 16;

struct Tone {
    double shadow;    // extra gain at black, from the first strength
    double pivot;     // local mean where lifting stops and holding starts
    double highlight; // gain taken away at white, from the second strength
};

Tone ToneOf(const WKITParameters& params)
{
    const auto clamp = [](std::int32_t v, std::int32_t low, std::int32_t high) { return std::min(high, std::max(low, v)); };
    return {clamp(params.values[2], 0, 255) / 128.0, clamp(params.values[3], 26, 229) / 255.0,
            clamp(params.values[4], 0, 255) / 510.0};
}

// 16.16 gain for every step of the local mean; exactly 1 where both
// strengths are 0, so that the picture comes back unchanged.
void FillGains(const Tone& tone, std::int32_t* gains)
{
    for (int step = 0; step < kGainSteps; ++step) {
        const double mean = (step * 16 + 8) / 65535.0;
        double gain = 1.0;
        if (mean < tone.pivot)
            gain += tone.shadow * (tone.pivot - mean) / tone.pivot;
        else
            gain -= tone.highlight * (mean - tone.pivot) / (1.0 - tone.pivot);
        gains[step] = std::int32_t(std::lround(gain * kUnitGain));
    }
}

// Position of a source coordinate between the statistics image's block
// centres: the lower sample and the weight (0..256) of the next one.
struct Between {
    std::int32_t low, high, weight;
};

Between Locate(std::int32_t offset, std::int32_t samples)
{
    const std::int32_t scaled = (2 * offset + 1 - kWKITBlockSize) * 128 / kWKITBlockSize; // in 1/256 blocks
    if (scaled <= 0)
        return {0, 0, 0};
    const std::int32_t low = scaled >> 8;
    if (low >= samples - 1)
        return {samples - 1, samples - 1, 0};
    return {low, low + 1, scaled & 255};
}

// One row of the statistics image between its block centres: each sample
// weighted from the rows above and below, 8 fraction bits kept.
void InterpolateRow(const std::uint16_t* stats, std::int32_t statsWidth, const Between& row, std::uint32_t* line)
{
    const std::uint16_t* upper = stats + std::size_t(row.low) * std::size_t(statsWidth);
    const std::uint16_t* lower = stats + std::size_t(row.high) * std::size_t(statsWidth);
    for (std::int32_t i = 0; i < statsWidth; ++i)
        line[i] = std::uint32_t(upper[i]) * std::uint32_t(256 - row.weight) + std::uint32_t(lower[i]) * std::uint32_t(row.weight);
}

std::uint32_t InterpolateAcross(const std::uint32_t* line, const Between& column)
{
    const std::uint64_t sum = std::uint64_t(line[column.low]) * std::uint64_t(256 - column.weight) +
                              std::uint64_t(line[column.high]) * std::uint64_t(column.weight);
    return std::uint32_t((sum + 32768) >> 16);
}

std::int32_t Clamp(std::int32_t v, std::int32_t low, std::int32_t high)
{
    return std::min(high, std::max(low, v));
}

// The band grown by the margin, cut to the source.
WKITRect MarginRead(const WKITImageRecord& input)
{
    const WKITRect& band = input.region;
    return {std::max(0, band.left - kMargin), std::max(0, band.top - kMargin),
            std::min(input.width, band.right + kMargin), std::min(input.height, band.bottom + kMargin)};
}

// The work image's planes from what was read, edges repeated.
void Pad(const std::uint16_t* read, const WKITRect& readRect, const WKITRect& band, std::int32_t workWidth,
         std::int32_t workHeight, std::uint16_t* work)
{
    const std::size_t readPlane = WkitArea(readRect), workPlane = std::size_t(workWidth) * std::size_t(workHeight);
    const std::int32_t readWidth = WkitWidth(readRect);
    for (std::int32_t y = 0; y < workHeight; ++y) {
        const std::int32_t sy = Clamp(band.top - kMargin + y, readRect.top, readRect.bottom - 1) - readRect.top;
        for (std::int32_t x = 0; x < workWidth; ++x) {
            const std::int32_t sx = Clamp(band.left - kMargin + x, readRect.left, readRect.right - 1) - readRect.left;
            const std::size_t from = std::size_t(sy) * std::size_t(readWidth) + std::size_t(sx);
            const std::size_t to = std::size_t(y) * std::size_t(workWidth) + std::size_t(x);
            for (std::size_t plane = 0; plane < 3; ++plane)
                work[plane * workPlane + to] = read[plane * readPlane + from];
        }
    }
}

int FillWorkImage(WKITEngine& engine, WKITMessage* message)
{
    const WKITRect readRect = MarginRead(engine.input);
    const std::size_t planes = WkitPlanesRead(engine.params.inputCount);
    const std::size_t workArea = std::size_t(engine.work.width) * std::size_t(engine.work.height);
    WkitBuffer read, work;
    int result = WkitTake(engine, read, planes * WkitArea(readRect) * sizeof(std::uint16_t), message);
    if (result == kWKITOk)
        result = WkitTake(engine, work, 3 * workArea * sizeof(std::uint16_t), message);
    if (result == kWKITOk) {
        if (WKITCallbackResult error = engine.params.read(&readRect, read.As<std::uint16_t>(), engine.input.context))
            result = WkitCallbackFailed(message, error);
    }
    if (result == kWKITOk) {
        Pad(read.As<std::uint16_t>(), readRect, engine.input.region, engine.work.width, engine.work.height,
            work.As<std::uint16_t>());
        const WKITRect all = {0, 0, engine.work.width, engine.work.height};
        if (WKITCallbackResult error = engine.params.write(&all, work.As<std::uint16_t>(), engine.work.context))
            result = WkitCallbackFailed(message, error);
    }
    WkitGive(engine, read);
    WkitGive(engine, work);
    return result;
}

// Horizontal sums of 49 brightness values centred on each band column.
void SumAcross(const std::uint16_t* luma, std::int32_t workWidth, std::int32_t rows, std::int32_t bandWidth,
               std::uint32_t* sums)
{
    for (std::int32_t y = 0; y < rows; ++y) {
        const std::uint16_t* line = luma + std::size_t(y) * std::size_t(workWidth);
        std::uint32_t* out = sums + std::size_t(y) * std::size_t(bandWidth);
        std::uint32_t sum = 0;
        for (std::int32_t x = 0; x < kBox; ++x)
            sum += line[x];
        out[0] = sum;
        for (std::int32_t x = 1; x < bandWidth; ++x) {
            sum += std::uint32_t(line[x + kBox - 1]) - line[x - 1];
            out[x] = sum;
        }
    }
}

struct SliceBuffers {
    WkitBuffer work, luma, across, down, output, columns, statsLine;
};

int TakeSlice(WKITEngine& engine, std::int32_t rows, SliceBuffers& b, WKITMessage* message)
{
    const std::size_t workWidth = std::size_t(engine.work.width), bandWidth = std::size_t(WkitWidth(engine.input.region));
    const std::size_t workRows = std::size_t(rows + 2 * kMargin);
    int result = WkitTake(engine, b.work, 3 * workWidth * workRows * sizeof(std::uint16_t), message);
    if (result == kWKITOk)
        result = WkitTake(engine, b.luma, workWidth * workRows * sizeof(std::uint16_t), message);
    if (result == kWKITOk)
        result = WkitTake(engine, b.across, bandWidth * workRows * sizeof(std::uint32_t), message);
    if (result == kWKITOk)
        result = WkitTake(engine, b.down, bandWidth * sizeof(std::uint32_t), message);
    if (result == kWKITOk)
        result = WkitTake(engine, b.output, 3 * bandWidth * std::size_t(rows) * sizeof(std::uint16_t), message);
    if (result == kWKITOk)
        result = WkitTake(engine, b.columns, bandWidth * sizeof(Between), message);
    if (result == kWKITOk)
        result = WkitTake(engine, b.statsLine, std::size_t(engine.statistics.width) * sizeof(std::uint32_t), message);
    return result;
}

void GiveSlice(WKITEngine& engine, SliceBuffers& b)
{
    for (WkitBuffer* buffer : {&b.work, &b.luma, &b.across, &b.down, &b.output, &b.columns, &b.statsLine})
        WkitGive(engine, *buffer);
}

// Tone-corrects `rows` band rows from the work rows read for them.
void RenderRows(const WKITEngine& engine, std::int32_t firstRow, std::int32_t rows, SliceBuffers& b)
{
    const WKITRect& band = engine.input.region;
    const WKITImageRecord& stats = engine.statistics;
    const std::int32_t workWidth = engine.work.width, bandWidth = WkitWidth(band);
    const std::int32_t workRows = rows + 2 * kMargin;
    const std::size_t workPlane = std::size_t(workWidth) * std::size_t(workRows);
    const std::size_t outPlane = std::size_t(bandWidth) * std::size_t(rows);
    const std::uint16_t* work = b.work.As<std::uint16_t>();
    std::uint16_t* luma = b.luma.As<std::uint16_t>();
    for (std::size_t i = 0; i < workPlane; ++i)
        luma[i] = std::uint16_t(WkitLuma(work[i], work[workPlane + i], work[2 * workPlane + i]));
    std::uint32_t* across = b.across.As<std::uint32_t>();
    SumAcross(luma, workWidth, workRows, bandWidth, across);
    std::uint32_t* down = b.down.As<std::uint32_t>();
    std::fill(down, down + bandWidth, 0u);
    for (std::int32_t y = 0; y < kBox - 1; ++y)
        for (std::int32_t x = 0; x < bandWidth; ++x)
            down[x] += across[std::size_t(y) * std::size_t(bandWidth) + std::size_t(x)];
    const std::int32_t* gains = engine.gains.As<std::int32_t>();
    const std::uint16_t* statsPlane = engine.statisticsPlane.As<std::uint16_t>();
    Between* columns = b.columns.As<Between>();
    for (std::int32_t x = 0; x < bandWidth; ++x)
        columns[x] = Locate(band.left + x - stats.region.left, stats.width);
    std::uint32_t* statsLine = b.statsLine.As<std::uint32_t>();
    std::uint16_t* out = b.output.As<std::uint16_t>();
    for (std::int32_t y = 0; y < rows; ++y) {
        const std::uint32_t* entering = across + std::size_t(y + kBox - 1) * std::size_t(bandWidth);
        const std::uint32_t* leaving = across + std::size_t(y) * std::size_t(bandWidth);
        InterpolateRow(statsPlane, stats.width, Locate(band.top + firstRow + y - stats.region.top, stats.height),
                       statsLine);
        const std::size_t centre = std::size_t(y + kMargin) * std::size_t(workWidth) + kMargin;
        const std::size_t outRow = std::size_t(y) * std::size_t(bandWidth);
        for (std::int32_t x = 0; x < bandWidth; ++x) {
            down[x] += entering[x];
            const std::uint32_t boxMean = (down[x] + kBox * kBox / 2) / (kBox * kBox);
            down[x] -= leaving[x];
            const std::uint32_t mean = (boxMean + InterpolateAcross(statsLine, columns[x]) + 1) >> 1;
            const std::uint64_t gain = std::uint64_t(gains[std::min<std::uint32_t>(mean >> 4, kGainSteps - 1)]);
            for (std::size_t plane = 0; plane < 3; ++plane) {
                const std::uint64_t v = work[plane * workPlane + centre + std::size_t(x)];
                const std::uint64_t scaled = (v * gain + kUnitGain / 2) >> 16;
                out[plane * outPlane + outRow + std::size_t(x)] = std::uint16_t(std::min<std::uint64_t>(scaled, 65535));
            }
        }
    }
}

} // namespace

int WkitRenderInit(WKITEngine& engine, WKITMessage* message)
{
    const WKITParameters& params = engine.params;
    const WKITImageRecord& input = engine.input;
    if (!input.context || !WkitInside(input.region, input.width, input.height))
        return WkitRefuse(message, "The band is not inside the source");
    if (!params.statistics || !params.output || !params.work || !params.statistics->context ||
        !params.output->context || !params.work->context)
        return WkitRefuse(message, "The rendering pass needs its statistics, output and work images");
    engine.statistics = *params.statistics;
    engine.output = *params.output;
    engine.work = *params.work;
    if (engine.statistics.width <= 0 || engine.statistics.height <= 0)
        return WkitRefuse(message, "The statistics image is empty");
    if (WkitWidth(engine.output.region) != WkitWidth(input.region) ||
        WkitHeight(engine.output.region) != WkitHeight(input.region))
        return WkitRefuse(message, "The output does not fit the band");
    if (engine.work.width != WkitWidth(input.region) + 2 * kMargin ||
        engine.work.height != WkitHeight(input.region) + 2 * kMargin)
        return WkitRefuse(message, "The work image does not fit the band");
    engine.description.statisticsWidth = engine.statistics.width;
    engine.description.statisticsHeight = engine.statistics.height;
    engine.hasStatistics = true;
    return kWKITOk;
}

int WkitRenderBegin(WKITEngine& engine, WKITMessage* message)
{
    const WKITRect all = {0, 0, engine.statistics.width, engine.statistics.height};
    int result = WkitTake(engine, engine.statisticsPlane, 3 * WkitArea(all) * sizeof(std::uint16_t), message);
    if (result == kWKITOk) {
        // Plane 0 of what the callback reads is the statistics image itself.
        if (WKITCallbackResult error =
                engine.params.read(&all, engine.statisticsPlane.As<std::uint16_t>(), engine.statistics.context))
            result = WkitCallbackFailed(message, error);
    }
    if (result == kWKITOk)
        result = WkitTake(engine, engine.gains, kGainSteps * sizeof(std::int32_t), message);
    if (result == kWKITOk) {
        FillGains(ToneOf(engine.params), engine.gains.As<std::int32_t>());
        result = FillWorkImage(engine, message);
    }
    if (result != kWKITOk) {
        WkitReleasePass(engine);
        return result;
    }
    engine.unitsTotal = WkitHeight(engine.input.region);
    return kWKITOk;
}

int WkitRenderProcess(WKITEngine& engine, int slice, WKITMessage* message)
{
    const std::int32_t first = engine.unitsDone;
    const std::int32_t rows = std::min<std::int32_t>(slice, engine.unitsTotal - first);
    SliceBuffers buffers;
    int result = TakeSlice(engine, rows, buffers, message);
    if (result == kWKITOk) {
        const WKITRect read = {0, first, engine.work.width, first + rows + 2 * kMargin};
        if (WKITCallbackResult error = engine.params.read(&read, buffers.work.As<std::uint16_t>(), engine.work.context))
            result = WkitCallbackFailed(message, error);
    }
    if (result == kWKITOk) {
        RenderRows(engine, first, rows, buffers);
        const WKITRect& to = engine.output.region;
        const WKITRect written = {to.left, to.top + first, to.right, to.top + first + rows};
        if (WKITCallbackResult error =
                engine.params.write(&written, buffers.output.As<std::uint16_t>(), engine.output.context))
            result = WkitCallbackFailed(message, error);
    }
    GiveSlice(engine, buffers);
    if (result == kWKITOk)
        engine.unitsDone += rows;
    return result;
}
