// The statistics pass: the mean brightness of each block of the region,
// one row of blocks at a time, into the 16-bit grey statistics image.
#include "WkitEngine.h"
#include "WkitRows.h"

#include <algorithm>

namespace {

std::int32_t BlocksOver(std::int32_t length)
{
    return (length + kWKITBlockSize - 1) / kWKITBlockSize;
}

// Writes the means of one row of blocks from the rows just read.
void MeasureBlockRow(const std::uint16_t* planes, std::int32_t width, std::int32_t rows, std::uint16_t* means,
                     std::int32_t blocks)
{
    const std::size_t plane = std::size_t(width) * std::size_t(rows);
    for (std::int32_t block = 0; block < blocks; ++block) {
        const std::int32_t from = block * kWKITBlockSize, to = std::min(width, from + kWKITBlockSize);
        std::uint64_t sum = 0;
        for (std::int32_t y = 0; y < rows; ++y) {
            const std::uint16_t* red = planes + std::size_t(y) * std::size_t(width);
            for (std::int32_t x = from; x < to; ++x)
                sum += WkitLuma(red[x], red[plane + std::size_t(x)], red[2 * plane + std::size_t(x)]);
        }
        const std::uint64_t count = std::uint64_t(to - from) * std::uint64_t(rows);
        const std::uint16_t mean = std::uint16_t((sum + count / 2) / count);
        // The statistics image is grey: all three planes carry the mean.
        means[block] = means[blocks + block] = means[2 * blocks + block] = mean;
    }
}

} // namespace

int WkitStatisticsInit(WKITEngine& engine, WKITMessage* message)
{
    const WKITImageRecord& input = engine.input;
    if (!input.context || !WkitInside(input.region, input.width, input.height))
        return WkitRefuse(message, "The statistics region is not inside the source");
    engine.description.statisticsWidth = BlocksOver(WkitWidth(input.region));
    engine.description.statisticsHeight = BlocksOver(WkitHeight(input.region));
    return kWKITOk;
}

int WkitStatisticsBegin(WKITEngine& engine, WKITMessage*)
{
    engine.unitsTotal = engine.description.statisticsHeight;
    return kWKITOk;
}

int WkitStatisticsProcess(WKITEngine& engine, int slice, WKITMessage* message)
{
    const WKITRect& region = engine.input.region;
    const std::int32_t width = WkitWidth(region);
    const std::int32_t blocks = engine.description.statisticsWidth;
    const std::int32_t blockRows = std::max(1, slice / kWKITBlockSize);
    const std::size_t planes = WkitPlanesRead(engine.params.inputCount);
    WkitBuffer rows, means;
    int result = WkitTake(engine, rows, planes * std::size_t(width) * kWKITBlockSize * sizeof(std::uint16_t), message);
    if (result == kWKITOk)
        result = WkitTake(engine, means, 3 * std::size_t(blocks) * sizeof(std::uint16_t), message);
    for (std::int32_t n = 0; result == kWKITOk && n < blockRows && engine.unitsDone < engine.unitsTotal; ++n) {
        const std::int32_t top = region.top + engine.unitsDone * kWKITBlockSize;
        const WKITRect read = {region.left, top, region.right, std::min(region.bottom, top + kWKITBlockSize)};
        if (WKITCallbackResult error = engine.params.read(&read, rows.As<std::uint16_t>(), engine.input.context)) {
            result = WkitCallbackFailed(message, error);
            break;
        }
        MeasureBlockRow(rows.As<std::uint16_t>(), width, WkitHeight(read), means.As<std::uint16_t>(), blocks);
        const WKITRect written = {0, engine.unitsDone, blocks, engine.unitsDone + 1};
        if (WKITCallbackResult error =
                engine.params.write(&written, means.As<std::uint16_t>(), engine.statistics.context)) {
            result = WkitCallbackFailed(message, error);
            break;
        }
        ++engine.unitsDone;
    }
    WkitGive(engine, rows);
    WkitGive(engine, means);
    return result;
}
