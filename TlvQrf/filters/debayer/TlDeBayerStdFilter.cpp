#include "filters/debayer/TlDeBayerStdFilter.h"

#include "filters/debayer/TlDemosaicStd.h"

CDeBayerStdFilter::CDeBayerStdFilter(IKelvraManager* manager) : CDeBayerFilterBase(manager) {}

KelvraTag CDeBayerStdFilter::GetFilterTag() const
{
    return TlFilterId("db1s");
}

const char* CDeBayerStdFilter::GetFilterName() const
{
    return "De-Bayer single resolution standard quality interpolation filter";
}

IKelvraError* CDeBayerStdFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    std::vector<std::int32_t> green;
    auto engine = [&green](const CTlMosaicPlane& raw, const KelvraRect& inner, CTlRgbPlane& rgb) -> IKelvraError* {
        TlDemosaicStd(raw, inner, green, rgb);
        return nullptr;
    };
    return GenerateDemosaicedTile(tile, info, kTlStdMargin, engine);
}
