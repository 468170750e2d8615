#include "KelvraSampleLayout.h"

namespace {

bool IsRawSensorData(KelvraPixelFormat format)
{
    return (format & 0x1FF00) == 0x400;
}

} // namespace

bool KelvraSampleLayoutOf(KelvraPixelFormat format, KelvraSampleLayout* layout)
{
    const unsigned bits = KelvraBitsPerSample(format);
    const long planes = long(KelvraPlaneCount(format));
    if ((bits != 8 && bits != 16) || (planes != 1 && planes != 3 && planes != 4) || IsRawSensorData(format))
        return false;
    layout->wide = bits == 16;
    layout->planes = planes;
    return true;
}

IKelvraError* KelvraReadSourceLayout(IKelvraDataSource* source, KelvraTag tag, long* width, long* height,
                                     KelvraSampleLayout* layout)
{
    if (!source)
        return KELVRA_ERROR(nullptr, tag, kKelvraNotReady);
    KelvraPixelFormat format = 0;
    IKelvraError* error = source->GetSize(width, height);
    if (!error)
        error = source->GetColorSpace(&format);
    if (error)
        return KELVRA_WRAP(nullptr, tag, error);
    if (*width < 1 || *height < 1)
        return KELVRA_ERROR(nullptr, tag, kKelvraNotReady);
    if (!KelvraSampleLayoutOf(format, layout))
        return KELVRA_ERROR(nullptr, tag, kKelvraUnsupportedFormat);
    return nullptr;
}
