#include "raw/TlRawFormat.h"

#include "kelvra/KelvraData.h"
#include "kelvra/KelvraTagControl.h"
#include "raw/TlQuietTagReads.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {

constexpr char kMakerName[] = "TALVO";
constexpr std::uint32_t kMakeTextRoom = 256;
constexpr std::uint32_t kRawFamilyMask = 0x1FF00;
constexpr std::uint32_t kRawFamily = 0x400;

bool MakeNamesMaker(const IKelvraTagControl& tags)
{
    if (!tags.HasTag(kTlMakeTag, 0))
        return false;
    char text[kMakeTextRoom + 1] = {};
    IKelvraError* error = tags.GetTag(kTlMakeTag, kKelvraTagTypeText, kMakeTextRoom, text, 0);
    if (error != nullptr) {
        IKelvraError::Release(error);
        return false;
    }
    std::string upper(text, strnlen(text, kMakeTextRoom));
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper.find(kMakerName) != std::string::npos;
}

// Sizes fixed by the camera for the mosaic format; false for other models.
bool MosaicSizeOfModel(std::uint16_t model, STlPixelSize& size)
{
    switch (model) {
    case 259: size = {4016, 2616}; return true;
    case 260: size = {2464, 1632}; return true;
    case 1025:
    case 1026: size = {3008, 2000}; return true;
    default: return false;
    }
}

STlPixelSize MosaicSize(std::uint16_t model, STlPixelSize image)
{
    STlPixelSize size;
    if (MosaicSizeOfModel(model, size))
        return size;
    // The mosaic carries a 6-pixel border on each side.
    return {image.width >= 12 ? image.width - 12 : 0, image.height >= 12 ? image.height - 12 : 0};
}

bool IsSignalModel(std::uint16_t model) { return model >= 513 && model <= 516; }

} // namespace

std::uint32_t GetFormatCode(const IKelvraTagControl* tags)
{
    std::uint32_t code = 0;
    if (tags == nullptr || !TryReadLongTag(tags, kTlRawFormatTag, &code))
        return 0;
    return code;
}

bool IsMakerRawImage(const IKelvraTagControl* tags)
{
    if (tags == nullptr || !MakeNamesMaker(*tags))
        return false;
    std::uint32_t code = 0;
    return TryReadLongTag(tags, kTlRawFormatTag, &code);
}

STlPixelSize DevelopedSize(std::uint32_t pixelFormat, STlPixelSize image, const STlRawDevelopment& development,
                           bool allowSignalSize, const STlPixelSize* signalSize)
{
    if (pixelFormat == kTlRawMosaic)
        return MosaicSize(development.modelCode, image);
    if (!development.rawDevelopment)
        return image;
    if (image.width == 4016 && image.height == 1312)
        return {4016, 2616};
    if (allowSignalSize && IsSignalModel(development.modelCode) && signalSize != nullptr)
        return *signalSize;
    return image;
}

bool GetOutputSize(IKelvraDataSource* image, const STlRawDevelopment& development, bool allowSignalSize,
                   const STlPixelSize* signalSize, std::uint32_t& width, std::uint32_t& height)
{
    if (image == nullptr)
        return false;
    KelvraPixelFormat format = 0;
    long imageWidth = 0;
    long imageHeight = 0;
    IKelvraError* error = image->GetColorSpace(&format);
    if (error == nullptr)
        error = image->GetWidth(&imageWidth);
    if (error == nullptr)
        error = image->GetHeight(&imageHeight);
    if (error != nullptr) {
        IKelvraError::Release(error);
        return false;
    }
    if (imageWidth < 0 || imageHeight < 0)
        return false;
    const STlPixelSize size =
        DevelopedSize(format, {static_cast<std::uint32_t>(imageWidth), static_cast<std::uint32_t>(imageHeight)},
                      development, allowSignalSize, signalSize);
    width = size.width;
    height = size.height;
    return true;
}

bool GetSensorSize(const IKelvraTagControl* tags, std::uint32_t& width, std::uint32_t& height, bool correct)
{
    width = 0;
    height = 0;
    if (tags == nullptr)
        return false;
    const bool haveWidth = TryReadLongTag(tags, kKelvraTagImageWidth, &width);
    const bool haveHeight = TryReadLongTag(tags, kKelvraTagImageHeight, &height);
    if (!haveWidth || !haveHeight)
        return false;
    if (!correct)
        return true;
    std::uint32_t format = 0;
    if (!TryReadLongTag(tags, kTlRawFormatCodeTag, &format))
        return false;
    if ((format & kRawFamilyMask) != kRawFamily)
        return true;
    std::uint32_t model = 0;
    IKelvraError* error = tags->GetShortTagValue(&model);
    if (error != nullptr) {
        IKelvraError::Release(error);
        return false;
    }
    STlPixelSize size{width, height};
    if (format == kTlRawMosaic)
        size = MosaicSize(static_cast<std::uint16_t>(model), size);
    else if (format == kTlRawSignal3)
        size = {2560, 1920};
    else if (format == kTlRawSignal4)
        size = {width >= 16 ? width - 16 : 0, height >= 6 ? height - 6 : 0};
    width = size.width;
    height = size.height;
    return true;
}
