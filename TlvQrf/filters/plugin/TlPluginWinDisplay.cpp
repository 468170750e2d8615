// Display pixels: the plug-in's pixel map drawn into a device context as a
// top-down 24-bit bitmap.
#include "filters/plugin/TlPluginWin.h"

#include <cstring>
#include <new>
#include <memory>

namespace {

constexpr LONG kPixelsPerMetre = 3880;

// Blue, green and red of pixel (x, y); 16-bit maps give each sample's high
// byte; modes without a rule stay black.
void ReadPixel(const PsPixelMap& map, const unsigned char* base, long x, long y, unsigned char* bgr)
{
    const bool wide = map.imageMode == kPsModeGrey16 || map.imageMode == kPsModeRGB16;
    const unsigned char* pixel = base + std::int64_t(y) * map.rowBytes + std::int64_t(x) * map.colBytes;
    // Little-endian: a 16-bit sample's high byte is its second.
    const int high = wide ? 1 : 0;
    if (map.imageMode == kPsModeGrey || map.imageMode == kPsModeGrey16) {
        bgr[0] = bgr[1] = bgr[2] = pixel[high];
    } else if (map.imageMode == kPsModeRGB || map.imageMode == kPsModeRGB16) {
        bgr[0] = pixel[2 * map.planeBytes + high];
        bgr[1] = pixel[map.planeBytes + high];
        bgr[2] = pixel[high];
    }
}

} // namespace

PsResult CPluginWin::DisplayPixels(const PsPixelMap* source, const PsRect* sourceRect, std::int32_t destinationRow,
                                   std::int32_t destinationColumn, void* context)
{
    if (source == nullptr || sourceRect == nullptr)
        return kPsBadParameter;
    const long width = sourceRect->right - sourceRect->left;
    const long height = sourceRect->bottom - sourceRect->top;
    if (width <= 0 || height <= 0)
        return kPsNoError;
    const std::int64_t stride = (std::int64_t(width) * 3 + 3) & ~std::int64_t(3);
    const std::int64_t bytes = stride * height;
    if (bytes > 0x7FFFFFFF)
        return kPsOutOfMemory;
    std::unique_ptr<unsigned char[]> bits(new (std::nothrow) unsigned char[std::size_t(bytes)]);
    if (!bits)
        return kPsOutOfMemory;
    std::memset(bits.get(), 0, std::size_t(bytes));
    const auto* base = static_cast<const unsigned char*>(source->baseAddr);
    for (long y = 0; base != nullptr && y < height; ++y) {
        for (long x = 0; x < width; ++x)
            ReadPixel(*source, base, sourceRect->left + x, sourceRect->top + y, bits.get() + y * stride + x * 3);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biXPelsPerMeter = kPixelsPerMetre;
    info.bmiHeader.biYPelsPerMeter = kPixelsPerMetre;
    SetDIBitsToDevice(static_cast<HDC>(context), destinationColumn, destinationRow, DWORD(width), DWORD(height), 0, 0,
                      0, UINT(height), bits.get(), &info, DIB_RGB_COLORS);
    return kPsNoError;
}
