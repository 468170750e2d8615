#include "filters/debayer/TlDeBayerHQFilter.h"

#include "filters/debayer/TlDemosaicHQ.h"

CDeBayerHQFilter::CDeBayerHQFilter(IKelvraManager* manager) : CDeBayerFilterBase(manager) {}

KelvraTag CDeBayerHQFilter::GetFilterTag() const
{
    return TlFilterId("db1g");
}

const char* CDeBayerHQFilter::GetFilterName() const
{
    return "De-Bayer single resolution high quality interpolation filter V4";
}

IKelvraError* CDeBayerHQFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    const TlHQThresholds thresholds = TlHQThresholdsFor(GetTuning());
    auto engine = [&thresholds](CTlDeBayerWorkspace& work, const KelvraRect& inner) -> IKelvraError* {
        TlDemosaicHQ(work.raw, inner, thresholds, work.hq, work.rgb);
        return nullptr;
    };
    return GenerateDemosaicedTile(tile, info, kTlHQMargin, engine);
}
