// How much smaller than the recorded image a reduced source is: the factor
// the De-Bayer and the view scale of a reduced preview work with. The
// factor divides, so it is never below 1.
#include "chain/TlCadraFilterChain.h"

#include "kelvra/KelvraData.h"
#include "kelvra/KelvraTagControl.h"
#include "raw/TlQuietTagReads.h"

namespace {

// Mosaic data carries a border of this many pixels a side pair.
constexpr long kMosaicBorder = 12;

} // namespace

int CTlCadraFilterChain::GetSourceShrink(IKelvraDataSource* source, const IKelvraTagControl* tags)
{
    KelvraPixelFormat format = 0;
    if (source == nullptr || tags == nullptr)
        return 1;
    if (IKelvraError* error = source->GetColorSpace(&format)) {
        IKelvraError::Release(error);
        return 1;
    }
    long width = 0;
    long height = 0;
    if (IKelvraError* error = source->GetSize(&width, &height)) {
        IKelvraError::Release(error);
        return 1;
    }
    if (format == kKelvraRawMosaic) {
        width -= kMosaicBorder;
        height -= kMosaicBorder;
    }
    std::int32_t recordedWidth = 0;
    std::int32_t recordedHeight = 0;
    if (!ReadTagQuietly(tags, kKelvraTagImageWidth, kKelvraTagTypeBytes, 4, &recordedWidth) ||
        !ReadTagQuietly(tags, kKelvraTagImageHeight, kKelvraTagTypeBytes, 4, &recordedHeight))
        return 1;
    if (recordedWidth == width && recordedHeight == height)
        return 1;
    if (width <= 0 || recordedWidth <= 0)
        return 1;
    const long shrink = recordedWidth / width;
    return shrink >= 1 ? int(shrink) : 1;
}
