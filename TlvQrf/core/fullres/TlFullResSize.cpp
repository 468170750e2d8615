#include "fullres/TlFullResSize.h"

#include "params/TlvParamSet.h"

#include "filters/sigcore/TlSigProcImage.h"
#include "kelvra/KelvraImage.h"
#include "settings/geometry/TlDblRect.h"

namespace {

// The one camera whose mosaic has half the rows it develops to.
constexpr std::uint16_t kHalfHeightModel = 259;
constexpr double kHalfHeightStretch = 2616.0 / 1312.0;

// Developed sizes of the cameras whose mosaics carry a border.
bool KnownMosaicSize(std::uint16_t model, STlSize* size)
{
    switch (model) {
    case 259: *size = {4016, 2616}; return true;
    case 260: *size = {2464, 1632}; return true;
    case 1025:
    case 1026: *size = {3008, 2000}; return true;
    default: return false;
    }
}

bool DevelopedSize(const CTlvParamSet& params, STlSize source, STlSize* size)
{
    *size = source;
    if (params.rawFlag == 0)
        return true;
    if (source.width == 4016 && source.height == 1312) {
        *size = {4016, 2616};
        return true;
    }
    if (!params.IsSignalProcessingModel())
        return true;
    auto* developed = dynamic_cast<CSigProcImage*>(params.image);
    if (developed == nullptr)
        return true;
    IKelvraError* error = developed->GetSize(&size->width, &size->height);
    IKelvraError::Release(error);
    return error == nullptr;
}

} // namespace

double PendingStretch(const CTlvParamSet& params)
{
    return params.rawFlag != 0 && params.modelCode == kHalfHeightModel ? kHalfHeightStretch : 1.0;
}

bool GetOutputSize(const CTlvParamSet& params, STlSize* size)
{
    if (params.image == nullptr)
        return false;
    KelvraPixelFormat format = 0;
    STlSize source;
    IKelvraError* error = params.image->GetColorSpace(&format);
    if (error == nullptr)
        error = params.image->GetSize(&source.width, &source.height);
    if (error != nullptr) {
        IKelvraError::Release(error);
        return false;
    }
    if (format == kTlMosaicFormat) {
        if (!KnownMosaicSize(params.modelCode, size))
            *size = {source.width - 12, source.height - 12};
        return true;
    }
    return DevelopedSize(params, source, size);
}

// A crop that truncates to nothing keeps one pixel, grown inwards at the
// image's edge.
static void KeepOnePixel(long& low, long& high)
{
    if (low != high)
        return;
    if (low == 0)
        ++high;
    else
        --low;
}

KelvraRect CropRectFor(const CTlDblRect& crop, double scale, double stretch)
{
    const long left = long(crop.left * 0.5);
    const long top = long(crop.top * 0.5);
    const long right = left + long((crop.right - crop.left) * 0.5);
    const long bottom = top + long((crop.bottom - crop.top) * 0.5);
    KelvraRect rect;
    rect.left = long(double(left) * scale);
    rect.right = long(double(right) * scale);
    rect.top = long(double(top) * (scale / stretch));
    rect.bottom = long(double(bottom) * (scale / stretch));
    KeepOnePixel(rect.left, rect.right);
    KeepOnePixel(rect.top, rect.bottom);
    return rect;
}

STlReducedSize ReducedSize(STlSize base, long longSide, STlSize output)
{
    STlReducedSize reduced;
    reduced.output = output;
    const bool wide = base.height < base.width;
    const long longer = wide ? base.width : base.height;
    if (longer <= 0)
        return reduced;
    const double scale = double(longSide) / double(longer);
    if (scale >= 1.0)
        return reduced;
    reduced.finalScale = scale;
    if (wide)
        reduced.output = {longSide, long(double(base.height) * scale)};
    else
        reduced.output = {long(double(base.width) * scale), longSide};
    return reduced;
}
