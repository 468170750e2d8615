#include "filters/frame/TlPixelFormats.h"

TlSampleLayout TlSampleLayoutOf(KelvraPixelFormat format)
{
    return TlSampleLayout{KelvraBitsPerSample(format), KelvraPlaneCount(format)};
}

bool TlIsRgb(KelvraPixelFormat format)
{
    return format == kKelvraRGB8 || format == kKelvraRGB16;
}

bool TlIsRgbLike(KelvraPixelFormat format)
{
    return TlIsRgb(format) || (format >= kKelvraLCh8 && format <= kTlThreeSample8Last) ||
           (format >= kKelvraLCh16 && format <= kTlThreeSample16Last);
}

bool TlIsLch(KelvraPixelFormat format)
{
    return format == kKelvraLCh8 || format == kKelvraLCh16;
}
