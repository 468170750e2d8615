#include "filtrix/BGRizeFilter.h"

#include "FiltrixSamples.h"
#include "FiltrixTileRows.h"

#include <cstring>

namespace {

// Copies `count` pixels of three samples, first and third exchanged.
template <typename Sample>
void SwapRun(const std::uint8_t* in, std::uint8_t* out, long count)
{
    const auto* from = reinterpret_cast<const Sample*>(in);
    auto* to = reinterpret_cast<Sample*>(out);
    for (long i = 0; i < count * 3; i += 3) {
        to[i] = from[i + 2];
        to[i + 1] = from[i + 1];
        to[i + 2] = from[i];
    }
}

} // namespace

CBGRizeFilter::CBGRizeFilter(IKelvraManager* manager) : CKelvraFilterBase(manager, 1) {}

KelvraTag CBGRizeFilter::GetFilterTag() const
{
    return kTag;
}

const char* CBGRizeFilter::GetFilterName() const
{
    return "BGRize";
}

IKelvraError* CBGRizeFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    IKelvraDataSource* source = nullptr;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = FiltrixFirstSource(kTag, SourcesFor(info), FiltrixIsByteFormat, &source, &format))
        return error;
    const bool swaps = FiltrixColorModel(format) == kFiltrixModelRGB && FiltrixIsSampleFormat(format);
    const bool wide = KelvraIs16Bit(format);
    const std::size_t pixelBytes = KelvraBitsPerPixel(format) / 8;
    return FiltrixFillTile(kTag, tile, source, format, 0, 0, [=](const FiltrixRowRun& run) {
        if (!swaps)
            std::memcpy(run.target, run.source, std::size_t(run.count) * pixelBytes);
        else if (wide)
            SwapRun<std::uint16_t>(run.source, run.target, run.count);
        else
            SwapRun<std::uint8_t>(run.source, run.target, run.count);
    });
}
