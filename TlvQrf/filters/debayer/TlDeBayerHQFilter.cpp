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
    CTlHQScratch scratch;
    auto engine = [&](const CTlMosaicPlane& raw, const KelvraRect& inner, CTlRgbPlane& rgb) -> IKelvraError* {
        TlDemosaicHQ(raw, inner, thresholds, scratch, rgb);
        return nullptr;
    };
    return GenerateDemosaicedTile(tile, info, kTlHQMargin, engine);
}
