#include "filters/frame/TlPixelFormats.h"

TlSampleLayout TlSampleLayoutOf(KelvraPixelFormat format)
{
    return TlSampleLayout{KelvraBitsPerSample(format), KelvraPlaneCount(format)};
}

bool TlIsRgb(KelvraPixelFormat format)
{
    return format == kTlFormatRgb8 || format == kTlFormatRgb16;
}

bool TlIsRgbLike(KelvraPixelFormat format)
{
    return TlIsRgb(format) || (format >= kTlFormatThree8First && format <= kTlFormatThree8Last) ||
           (format >= kTlFormatThree16First && format <= kTlFormatThree16Last);
}
