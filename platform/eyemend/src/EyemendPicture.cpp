#include "EyemendPicture.h"

#include <algorithm>

namespace eyemend {

namespace {

constexpr std::int32_t kSmallestPupil = 3;

} // namespace

std::int32_t Picture::LargestPupil() const
{
    // A pupil is far smaller than the picture: a tenth of its shorter side.
    return std::max(kSmallestPupil, std::min(width, height) / 10);
}

bool Picture::Clip(Box* box) const
{
    box->left = std::max(box->left, 0);
    box->top = std::max(box->top, 0);
    box->right = std::min(box->right, width - 1);
    box->bottom = std::min(box->bottom, height - 1);
    return box->left <= box->right && box->top <= box->bottom;
}

ReStatus OpenPicture(const ReParams* params, Picture* picture)
{
    if (params == nullptr)
        return ReMissingArgument;
    if (params->size != sizeof(ReParams))
        return ReInvalidParameter;
    if (params->buffer == nullptr)
        return ReMissingArgument;
    if (params->format != ReFormatRgb8 && params->format != ReFormatRgb16)
        return ReInvalidParameter;
    const bool wide = params->format == ReFormatRgb16;
    const std::int64_t pixelBytes = wide ? 6 : 3;
    if (params->width <= 0 || params->height <= 0 || std::int64_t(params->rowBytes) < params->width * pixelBytes)
        return ReInvalidParameter;
    const ReShootingInfo* info = params->shootingInfo;
    if (info != nullptr && info->size != 0 && info->size != sizeof(ReShootingInfo))
        return ReInvalidParameter;
    picture->width = params->width;
    picture->height = params->height;
    picture->rowBytes = std::size_t(params->rowBytes);
    picture->wide = wide;
    picture->buffer = params->buffer;
    return ReOk;
}

} // namespace eyemend
