#include "ColorModelRows.h"

#include "FiltrixSamples.h"
#include "filtrix/KelvraFilterColorSpace.h"

#include <cstring>

namespace {

// One pixel in 16-bit samples, four places whatever the model.
using PixelConvert = void (*)(const std::uint16_t* in, std::uint16_t* out);

void SameModel(const std::uint16_t* in, std::uint16_t* out)
{
    for (int i = 0; i < 4; ++i)
        out[i] = in[i];
}

void GreyToRGB(const std::uint16_t* in, std::uint16_t* out)
{
    out[0] = out[1] = out[2] = in[0];
}

void RGBToGrey(const std::uint16_t* in, std::uint16_t* out)
{
    out[0] = std::uint16_t((in[0] * 299u + in[1] * 587u + in[2] * 114u + 500u) / 1000u);
}

// What is left of a colour under its ink and the black ink.
std::uint16_t Remaining(unsigned ink, unsigned black)
{
    return std::uint16_t(((65535u - ink) * (65535u - black) + 32767u) / 65535u);
}

void CMYKToRGB(const std::uint16_t* in, std::uint16_t* out)
{
    for (int i = 0; i < 3; ++i)
        out[i] = Remaining(in[i], in[3]);
}

void CMYKToGrey(const std::uint16_t* in, std::uint16_t* out)
{
    std::uint16_t rgb[4] = {};
    CMYKToRGB(in, rgb);
    RGBToGrey(rgb, out);
}

// The models the filter converts between, with their plane counts.
bool IsConvertibleModel(KelvraPixelFormat format)
{
    const unsigned model = FiltrixColorModel(format), planes = KelvraPlaneCount(format);
    return (model == kFiltrixModelGrey && planes == 1) || (model == kFiltrixModelRGB && planes == 3) ||
           (model == kFiltrixModelCMYK && planes == 4);
}

PixelConvert ConverterFor(unsigned from, unsigned to)
{
    if (from == kFiltrixModelGrey && to == kFiltrixModelRGB)
        return GreyToRGB;
    if (from == kFiltrixModelRGB && to == kFiltrixModelGrey)
        return RGBToGrey;
    if (from == kFiltrixModelCMYK && to == kFiltrixModelRGB)
        return CMYKToRGB;
    if (from == kFiltrixModelCMYK && to == kFiltrixModelGrey)
        return CMYKToGrey;
    return SameModel;
}

unsigned BitsFor(KelvraPixelFormat input, long depth)
{
    switch (depth) {
    case kColorDepthKeep:
        return KelvraBitsPerSample(input);
    case kColorDepth8:
        return 8;
    case kColorDepth16:
        return 16;
    default:
        return 0;
    }
}

} // namespace

KelvraPixelFormat ColorOutputFormat(KelvraPixelFormat input, long space, long depth)
{
    const unsigned bits = BitsFor(input, depth);
    if (!FiltrixIsSampleFormat(input) || bits == 0)
        return 0;
    if (space == kColorSpaceKeep)
        return FiltrixWithDepth(input, bits);
    if (!IsConvertibleModel(input))
        return 0;
    if (space == kColorSpaceGrey)
        return FiltrixWithDepth(kKelvraGrey8, bits);
    if (space == kColorSpaceRGB)
        return FiltrixWithDepth(kKelvraRGB8, bits);
    return 0;
}

namespace {

// The same colour model at another depth (or the same): sample by sample,
// without the per-pixel model step, since every development ends here.
void ChangeDepthRun(bool inWide, bool outWide, const std::uint8_t* in, std::uint8_t* out, long samples)
{
    const auto* in16 = reinterpret_cast<const std::uint16_t*>(in);
    auto* out16 = reinterpret_cast<std::uint16_t*>(out);
    if (inWide == outWide) {
        std::memcpy(out, in, std::size_t(samples) * (inWide ? 2 : 1));
    } else if (inWide) {
        for (long i = 0; i < samples; ++i)
            out[i] = FiltrixNarrow(in16[i]);
    } else {
        for (long i = 0; i < samples; ++i)
            out16[i] = FiltrixWiden(in[i]);
    }
}

} // namespace

void ConvertColorRun(KelvraPixelFormat input, KelvraPixelFormat output, const std::uint8_t* in, std::uint8_t* out,
                     long count)
{
    if (FiltrixColorModel(input) == FiltrixColorModel(output) && KelvraPlaneCount(input) == KelvraPlaneCount(output)) {
        ChangeDepthRun(KelvraIs16Bit(input), KelvraIs16Bit(output), in, out, count * long(KelvraPlaneCount(input)));
        return;
    }
    const long inPlanes = long(KelvraPlaneCount(input)), outPlanes = long(KelvraPlaneCount(output));
    const bool inWide = KelvraIs16Bit(input), outWide = KelvraIs16Bit(output);
    const PixelConvert convert = ConverterFor(FiltrixColorModel(input), FiltrixColorModel(output));
    const auto* in16 = reinterpret_cast<const std::uint16_t*>(in);
    auto* out16 = reinterpret_cast<std::uint16_t*>(out);
    for (long i = 0; i < count; ++i) {
        std::uint16_t from[4] = {}, to[4] = {};
        for (long p = 0; p < inPlanes; ++p)
            from[p] = inWide ? in16[i * inPlanes + p] : FiltrixWiden(in[i * inPlanes + p]);
        convert(from, to);
        for (long p = 0; p < outPlanes; ++p) {
            if (outWide)
                out16[i * outPlanes + p] = to[p];
            else
                out[i * outPlanes + p] = FiltrixNarrow(to[p]);
        }
    }
}
