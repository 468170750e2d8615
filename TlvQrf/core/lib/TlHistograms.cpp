#include "lib/TlHistograms.h"

#include "filtrix/KelvraFilterHistogram.h"
#include "runbase/TlvResultCodes.h"
#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"

#include <cstdint>

namespace {

constexpr int kHistogramBins = 256;

long ChannelCountOf(CKelvraFilterHistogram& histogram)
{
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = histogram.GetColorSpace(&format)) {
        IKelvraError::Release(error);
        return 0;
    }
    return long((format >> 17) & 0x7F);
}

void CopyChannel(CTlLutGroup& group, CKelvraFilterHistogram& histogram, long channel)
{
    // Point curves keep their histogram; only a look-up-table element takes one.
    CTlCurveBase* element = group.GetAt(int(channel));
    if (!element || element->IsPointCurve())
        return;
    CTlLut* lut = dynamic_cast<CTlLut*>(element);
    if (!lut)
        return;
    std::uint32_t counts[kHistogramBins] = {};
    if (IKelvraError* error = histogram.GetHistogram(channel, counts, 8)) {
        IKelvraError::Release(error);
        return;
    }
    lut->SetHistogram(counts, kHistogramBins);
}

} // namespace

unsigned long CopyHistograms(CTlLutGroup* group, CKelvraFilterHistogram* histogram)
{
    if (!group || !histogram)
        return TLV_OK;
    const long channels = ChannelCountOf(*histogram);
    if (channels == 1) {
        CopyChannel(*group, *histogram, 0);
        return TLV_OK;
    }
    for (long channel = 1; channel <= channels; ++channel)
        CopyChannel(*group, *histogram, channel);
    return TLV_OK;
}
