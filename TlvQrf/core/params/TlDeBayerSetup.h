// Sets a De-Bayer filter up for the image of a parameter set: sensor crop,
// as-shot channel gains, colour-filter pattern and (for the high-quality
// filter) the tuning block picked by sensitivity.
#pragma once

class CDeBayerFilterBase;
class CTlvParamSet;

// `divisor` reduces the crop for a reduced mosaic. An image that is no
// mosaic switches the filter off (true). False when the image's format
// cannot be read, a mosaic comes without a filter, or a setting failed
// (the settings made before it stay).
bool SetupDeBayer(CDeBayerFilterBase* filter, const CTlvParamSet& params, long divisor);
