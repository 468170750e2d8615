#include "filters/moire/TlMoireFilter.h"

#include "filters/frame/TlPassThrough.h"
#include "filters/frame/TlPixelFormats.h"

namespace {

bool IsRgb16(KelvraPixelFormat format)
{
    return format == kKelvraRGB16;
}

const CTlFormatCheck kRgb16Only{IsRgb16, TlFormatRejection::Text};

} // namespace

CMoireFilter::CMoireFilter(IKelvraManager* manager) : CTlFilter(manager, 1) {}

const char* CMoireFilter::GetFilterName() const
{
    return "Moire";
}

IKelvraError* CMoireFilter::SetStrength(int strength, bool notify)
{
    return ApplySetting(m_strength, strength, notify);
}

IKelvraError* CMoireFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    // The moire removal is not made yet: pixels pass unchanged.
    auto copy = TlCopySourceRows;
    return GenerateFromSourceTiles(tile, info, kRgb16Only, copy);
}
