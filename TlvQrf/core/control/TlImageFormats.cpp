#include "control/TlImageFormats.h"

#include "control/TlControlCodes.h"
#include "kelvra/KelvraTagControl.h"
#include "kelvra/KelvraTypes.h"

namespace {

constexpr std::uint32_t kBitsPerSampleTag = 258;

struct STwelveBitSize {
    std::uint16_t model;
    std::uint32_t width;
    std::uint32_t height;
};

constexpr STwelveBitSize kTwelveBitSizes[] = {
    {260, 2464, 1632}, {259, 4016, 2616}, {513, 2560, 1920}, {514, 2560, 1920},
    {515, 2560, 1920}, {516, 3264, 2448}, {1025, 3008, 2000}, {1026, 3008, 2000},
};

IKelvraError* ReadBitsPerSample(const IKelvraTagControl& tags, std::uint16_t (&bits)[4])
{
    return tags.GetTag(kBitsPerSampleTag, kKelvraTagTypeBytes, sizeof bits, bits, 0);
}

bool IsTwelveBit(const std::uint16_t (&bits)[4])
{
    return bits[0] == 12 && bits[1] == 0 && bits[2] == 0 && bits[3] == 0;
}

void CameraSize(std::uint16_t model, std::uint32_t& width, std::uint32_t& height)
{
    // The signal-processing cameras record half the rows of a full frame.
    if (model >= 513 && model <= 516 && width == 4016 && height == 1312) {
        height = 2616;
        return;
    }
    for (const STwelveBitSize& size : kTwelveBitSizes) {
        if (size.model == model) {
            width = size.width;
            height = size.height;
            return;
        }
    }
    width = width >= 12 ? width - 12 : 0;
    height = height >= 12 ? height - 12 : 0;
}

} // namespace

int FormatClassOf(std::uint32_t pixelFormat)
{
    switch (pixelFormat) {
    case kKelvraGrey8:
    case kKelvraGrey16: return kTlFormatGrey;
    case kKelvraRGB8:
    case kKelvraRGB16:
    case kKelvraRawMosaic:
    case kKelvraRawPlain:
    case kKelvraRawSig3: return kTlFormatColour;
    case kKelvraCMYK8: return kTlFormatFourColour;
    default: return kTlFormatUnknown;
    }
}

std::uint32_t SourceBytesOf(std::uint32_t pixelFormat)
{
    switch (pixelFormat) {
    case kKelvraGrey8:
    case kKelvraRGB8:
    case kKelvraCMYK8: return 1;
    default: return 2;
    }
}

bool IsTwelveBitSource(const IKelvraTagControl& tags)
{
    std::uint16_t bits[4] = {};
    IKelvraError* error = ReadBitsPerSample(tags, bits);
    if (error != nullptr) {
        IKelvraError::Release(error);
        return false;
    }
    return IsTwelveBit(bits);
}

IKelvraError* SizeFromTags(const IKelvraTagControl* tags, std::uint32_t* width, std::uint32_t* height)
{
    if (tags == nullptr || width == nullptr || height == nullptr)
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    *width = 0;
    *height = 0;
    if (IKelvraError* error = tags->GetImageSize(width, height)) {
        IKelvraError::Release(error);
        return TL_CONTROL_ERROR(kTlErrFailed);
    }
    std::uint16_t bits[4] = {};
    if (IKelvraError* error = ReadBitsPerSample(*tags, bits))
        return error;
    if (!IsTwelveBit(bits))
        return nullptr;
    std::uint32_t model = 0;
    IKelvraError::Release(tags->GetShortTagValue(&model));
    CameraSize(static_cast<std::uint16_t>(model), *width, *height);
    return nullptr;
}
