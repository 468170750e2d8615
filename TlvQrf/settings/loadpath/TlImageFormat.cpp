#include "settings/loadpath/TlLoadPath.h"

namespace {

// Formats the library develops directly.
const KelvraPixelFormat kRgbFormats[] = {kKelvraRGB8, kKelvraRGB16};
// Raw mosaic data, which needs the camera's model code to be developed.
const KelvraPixelFormat kMosaicFormats[] = {kKelvraRawMosaic, kKelvraRawSig3, kKelvraRawSig4};

template <std::size_t N>
bool IsOneOf(KelvraPixelFormat format, const KelvraPixelFormat (&formats)[N])
{
    for (KelvraPixelFormat known : formats) {
        if (format == known)
            return true;
    }
    return false;
}

// One description attempt; the request is made anew so that results of a
// failed attempt never mix with those of the next.
IKelvraError* Describe(ITlLoadTaskAccess& task, IKelvraLoad& loader, long full, KelvraLoadRequest* request)
{
    *request = KelvraLoadRequest{};
    request->size = sizeof(KelvraLoadRequest);
    request->callback = task.GetProgressCallback();
    return loader.DescribeImage(request, full);
}

// Full description first; a loader that fails it gets one more try without
// progress reports.
bool DescribePicture(ITlLoadTaskAccess& task, IKelvraLoad* loader)
{
    if (!loader)
        return false;
    KelvraLoadRequest request;
    IKelvraError* error = Describe(task, *loader, 1, &request);
    if (error) {
        IKelvraError::Release(error);
        error = Describe(task, *loader, 0, &request);
    }
    task.KeepFormatCode(request.formatCode);
    if (request.height != 0)
        task.KeepImageSize(request.width, request.height);
    const bool described = error == nullptr;
    IKelvraError::Release(error);
    return described;
}

bool ReadPixelFormat(ITlLoadTaskAccess& task, KelvraPixelFormat* format)
{
    IKelvraDataSource* picture = task.GetPicture();
    if (!picture)
        return false;
    IKelvraError* error = picture->GetColorSpace(format);
    const bool told = error == nullptr;
    IKelvraError::Release(error);
    return told;
}

} // namespace

int ReadImageFormat(ITlLoadTaskAccess& task, const void* /*unused*/, IKelvraLoad* loader)
{
    KelvraPixelFormat format = 0;
    if (!DescribePicture(task, loader) || !ReadPixelFormat(task, &format))
        return kTlImageFormatUnreadable;
    if (IsOneOf(format, kRgbFormats))
        return kTlImageFormatSupported;
    if (IsOneOf(format, kMosaicFormats))
        return GetShortTagValue(task.GetTagControl()) != 0 ? kTlImageFormatSupported : kTlImageFormatUnknownCamera;
    return kTlImageFormatUnsupported;
}
