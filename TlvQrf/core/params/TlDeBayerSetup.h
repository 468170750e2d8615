// Sets a De-Bayer filter up for the image of a parameter set: sensor crop,
// as-shot channel gains, colour-filter pattern and (for the high-quality
// filter) the tuning block picked by sensitivity.
#pragma once

#include <memory>

class CDeBayerFilterBase;
class CTlvParamSet;
class IKelvraManager;

// `divisor` reduces the crop for a reduced mosaic. An image that is no
// mosaic switches the filter off (true). False when the image's format
// cannot be read, a mosaic comes without a filter, or a setting failed
// (the settings made before it stay).
bool SetupDeBayer(CDeBayerFilterBase* filter, const CTlvParamSet& params, long divisor);

// The De-Bayer filter a mosaic source needs: the high-quality one or the
// standard one, set up for `params`. A source that is no mosaic, or whose
// format cannot be read, needs none: true with `made` empty. False when the
// filter cannot be made or set up.
bool MakeDeBayer(IKelvraManager* manager, const CTlvParamSet& params, bool highQuality,
                 std::unique_ptr<CDeBayerFilterBase>& made);
