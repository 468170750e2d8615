#include "settings/loadpath/TlLoadPath.h"

#include "filters/sigcore/TlSigProcImageApi.h"

#include <algorithm>

namespace {

struct SourceSize {
    long width = 0;
    long height = 0;

    bool IsUsable() const { return width > 0 && height > 0; }
};

// A size that cannot be read counts as missing (0).
SourceSize ReadSelectedSize(ISigProcImageSources& image)
{
    SourceSize size;
    if (IKelvraError* error = image.GetWidth(&size.width)) {
        IKelvraError::Release(error);
        size.width = 0;
    }
    if (IKelvraError* error = image.GetHeight(&size.height)) {
        IKelvraError::Release(error);
        size.height = 0;
    }
    return size;
}

void Select(ISigProcImageSources& image, bool useSecond)
{
    IKelvraError::Release(image.SelectSource(useSecond, false));
}

} // namespace

std::uint16_t GetShortTagValue(const IKelvraTagControl* tags)
{
    if (!tags)
        return 0;
    std::uint32_t code = 0;
    if (IKelvraError* error = tags->GetShortTagValue(&code)) {
        IKelvraError::Release(error);
        return 0;
    }
    return static_cast<std::uint16_t>(code);
}

double GetMinScaleRatio(ISigProcImageSources* image)
{
    if (!image)
        return -1.0;
    const SourceSize first = ReadSelectedSize(*image);
    Select(*image, true);
    const SourceSize second = ReadSelectedSize(*image);
    Select(*image, false);
    if (!first.IsUsable() || !second.IsUsable())
        return -1.0;
    return std::min(double(second.width) / double(first.width), double(second.height) / double(first.height));
}
