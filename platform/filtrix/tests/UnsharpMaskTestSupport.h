// Pictures for the unsharp-mask tests: samples held in the test, written
// into images and read back from filters. Header-only: the test program is
// built from the *Test.cpp files alone.
#pragma once

#include "FilterTestSupport.h"

#include "filtrix/UnsharpMaskFilter.h"

#include <cstring>
#include <functional>
#include <vector>

struct Picture {
    long width = 0;
    long height = 0;
    KelvraPixelFormat format = 0;
    std::vector<unsigned> samples; // row after row, pixel after pixel, plane after plane

    long Planes() const { return long(KelvraPlaneCount(format)); }
    unsigned Max() const { return KelvraIs16Bit(format) ? 65535u : 255u; }
    std::size_t Index(long x, long y, long plane) const
    {
        return (std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(Planes()) + std::size_t(plane);
    }
    unsigned At(long x, long y, long plane) const { return samples[Index(x, y, plane)]; }
};

using SampleAt = std::function<unsigned(long x, long y, long plane)>;

inline Picture Draw(long width, long height, KelvraPixelFormat format, const SampleAt& sample)
{
    Picture picture{width, height, format, {}};
    for (long y = 0; y < height; ++y) {
        for (long x = 0; x < width; ++x) {
            for (long plane = 0; plane < picture.Planes(); ++plane)
                picture.samples.push_back(sample(x, y, plane));
        }
    }
    return picture;
}

// Writes `rect` of `picture` into `image`; its destinations hear of it.
inline void WriteRect(IKelvraImage* image, const Picture& picture, const KelvraRect& rect)
{
    const std::size_t sampleBytes = KelvraIs16Bit(picture.format) ? 2 : 1;
    std::vector<std::uint8_t> bytes;
    for (long y = rect.top; y < rect.bottom; ++y) {
        for (long x = rect.left; x < rect.right; ++x) {
            for (long plane = 0; plane < picture.Planes(); ++plane) {
                const std::uint16_t value = std::uint16_t(picture.At(x, y, plane));
                const std::size_t at = bytes.size();
                bytes.resize(at + sampleBytes);
                std::memcpy(&bytes[at], &value, sampleBytes); // little-endian: the low byte first
            }
        }
    }
    const long rowBytes = KelvraRowBytes(picture.format, rect.Width());
    ExpectOk(KelvraWriteRect(image, rect, bytes.data(), rowBytes), "write");
}

inline IKelvraImage* MakeImage(IKelvraManager* manager, const Picture& picture)
{
    IKelvraImage* image = nullptr;
    ExpectOk(manager->CreateImage(&image, 0), "create image");
    ExpectOk(image->SetSize(picture.width, picture.height), "size");
    ExpectOk(image->SetColorSpace(picture.format), "format");
    WriteRect(image, picture, KelvraRect(0, 0, picture.width, picture.height));
    return image;
}

inline Picture ReadBack(IKelvraDataSource* source)
{
    Picture picture;
    ExpectOk(source->GetSize(&picture.width, &picture.height), "size");
    ExpectOk(source->GetColorSpace(&picture.format), "format");
    picture.samples = ReadAllSamples(source);
    return picture;
}

// Sets every setting of `filter` without notices.
inline void Configure(CUnsharpMaskFilter& filter, const UsmParams& params)
{
    ExpectOk(filter.SetRadii(params.radius, params.secondRadius, false), "radii");
    ExpectOk(filter.SetPower(params.power, false), "power");
    ExpectOk(filter.SetThreshold(params.threshold, false), "threshold");
    ExpectOk(filter.SetMaskMethod(params.method, false), "method");
    ExpectOk(filter.SetAffectNoise(params.affectNoise, false), "noise");
    const UsmBand& band = params.band;
    ExpectOk(filter.SetRange(band.start, band.startSoftness, band.end, band.endSoftness, false), "range");
}

// A test's own filter over its own image, released at the end of the scope.
class FilterOver {
public:
    FilterOver(IKelvraManager* manager, const Picture& picture)
        : m_image(MakeImage(manager, picture)), m_filter(manager)
    {
        ExpectOk(KelvraDataConnect(m_image, &m_filter), "connect");
    }
    ~FilterOver() { m_image->Release(); }
    FilterOver(const FilterOver&) = delete;
    FilterOver& operator=(const FilterOver&) = delete;

    IKelvraImage* Image() { return m_image; }
    CUnsharpMaskFilter& Filter() { return m_filter; }
    Picture Output() { return ReadBack(&m_filter); }

private:
    IKelvraImage* m_image;
    CUnsharpMaskFilter m_filter;
};

// The filter's output of `picture` with `params`.
inline Picture Sharpened(IKelvraManager* manager, const Picture& picture, const UsmParams& params)
{
    FilterOver run(manager, picture);
    Configure(run.Filter(), params);
    return run.Output();
}
