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
    auto engine = [](CTlDeBayerWorkspace& work, const KelvraRect& inner) -> IKelvraError* {
        TlDemosaicStd(work.raw, inner, work.green, work.rgb);
        return nullptr;
    };
    return GenerateDemosaicedTile(tile, info, kTlStdMargin, engine);
}
