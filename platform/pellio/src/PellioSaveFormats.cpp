#include "PellioSaveFormats.h"

#include "TiffTags.h"
#include "pellio/PellioFormats.h"

namespace {

const PellioSaveFormat kFormats[] = {
    {kPellioFormatJpeg, 0, PellioContainer::Jpeg, 1},
    {kPellioFormatQrf, kPellioFormatQrf, PellioContainer::Qrf, 2},
    {kPellioFormatTiff, 0, PellioContainer::Tiff, 2},
    {kPellioFormatDirect, kPellioFormatDirect, PellioContainer::Direct, 1},
    {kPellioFormatQrfDeflate, kPellioFormatQrfDeflate, PellioContainer::Qrf, 2},
    {kPellioFormatQrfSettings, kPellioFormatQrf, PellioContainer::Qrf, 2},
};

bool IsPlain(KelvraPixelFormat format)
{
    return format == kKelvraGrey8 || format == kKelvraGrey16 || format == kKelvraRGB8 || format == kKelvraRGB16;
}

} // namespace

const PellioSaveFormat* PellioFindSaveFormat(std::uint32_t format)
{
    for (const PellioSaveFormat& rule : kFormats) {
        if (rule.format == format)
            return &rule;
    }
    return nullptr;
}

bool PellioStoredFormat(const PellioSaveFormat& rule, KelvraPixelFormat source, KelvraPixelFormat* stored)
{
    *stored = source;
    switch (rule.container) {
    case PellioContainer::Qrf:
        return IsPlain(source) || PellioIsMosaic(source);
    case PellioContainer::Tiff:
        return IsPlain(source);
    case PellioContainer::Direct:
    case PellioContainer::Jpeg:
        *stored = KelvraIsGrey(source) ? kKelvraGrey8 : kKelvraRGB8;
        return IsPlain(source);
    }
    return false;
}

std::uint16_t PellioCompression(const PellioSaveFormat& rule, std::uint32_t option)
{
    const bool deflate = rule.format == kPellioFormatQrfDeflate ||
                         (rule.container == PellioContainer::Tiff && (option & 1) != 0);
    return deflate ? kTiffCompressionDeflate : kTiffCompressionNone;
}

void PellioFixedSize(std::uint32_t option, long* width, long* height)
{
    const long w = long(option >> 16);
    const long h = long(option & 0xFFFF);
    *width = w && h ? w : 640;
    *height = w && h ? h : 480;
}

int PellioJpegQuality(std::uint32_t option)
{
    static const int kLevels[] = {40, 60, 75, 90, 100};
    if (option < 5)
        return kLevels[option];
    return option <= 100 ? int(option) : 90;
}
