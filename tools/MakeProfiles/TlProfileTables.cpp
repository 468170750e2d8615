// Table-based profiles: Lab (an identity), LCh (Lab re-expressed as
// lightness, chroma and hue) and a simple CMYK printer.
#include "TlProfileBuild.h"

#include "filtrix/KelvraFilterCMLEngine.h"

#include <algorithm>
#include <cstring>

namespace {

const unsigned kLChGrid = 33;
const unsigned kCmykToLabGrid = 9;
const unsigned kLabToCmykGrid = 33;

// The marker that tells the colour engine the device values are LCh: a
// text tag that also says so to a person reading the profile.
IKelvraError* WriteLChMarker(cmsHPROFILE profile)
{
    const char text[] = "LCh samples: L 0..100, C 0..200 over the sample range; hue 0..360 over a full turn";
    std::vector<std::uint8_t> tag(8 + sizeof text, 0);
    std::memcpy(tag.data(), "text", 4);
    std::memcpy(tag.data() + 8, text, sizeof text);
    return cmsWriteRawTag(profile, cmsTagSignature(kKelvraLChProfileTag), tag.data(), cmsUInt32Number(tag.size()))
               ? nullptr
               : TlProfileFailure(__LINE__, "marker not written");
}

// An output profile skeleton: version 2.1, Lab connection space, D50 white.
cmsHPROFILE NewOutputProfile(cmsColorSpaceSignature deviceSpace)
{
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    if (!profile)
        return nullptr;
    cmsSetProfileVersion(profile, 2.1);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, deviceSpace);
    cmsSetPCS(profile, cmsSigLabData);
    if (!cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ())) {
        cmsCloseProfile(profile);
        return nullptr;
    }
    return profile;
}

double Unit(cmsUInt16Number value)
{
    return value / 65535.0;
}

cmsUInt16Number Word(double unit)
{
    const double clipped = unit < 0 ? 0 : unit > 1 ? 1 : unit;
    return cmsUInt16Number(clipped * 65535.0 + 0.5);
}

// Device LCh samples (16-bit grid) to Lab.
cmsInt32Number LChToLab(const cmsUInt16Number in[], cmsUInt16Number out[], void*)
{
    const std::uint16_t samples[3] = {in[0], in[1], in[2]};
    double unit[3], lab[3];
    KelvraLChEncoding::SamplesToUnit(samples, 16, unit);
    KelvraLChEncoding::UnitToLab(unit, lab);
    TlEncodeLabV2(cmsCIELab{lab[0], lab[1], lab[2]}, out);
    return 1;
}

cmsInt32Number LabToLCh(const cmsUInt16Number in[], cmsUInt16Number out[], void*)
{
    const cmsCIELab decoded = TlDecodeLabV2(in);
    const double lab[3] = {decoded.L, decoded.a, decoded.b};
    double unit[3];
    std::uint16_t samples[3];
    KelvraLChEncoding::LabToUnit(lab, unit);
    KelvraLChEncoding::UnitToSamples(unit, 16, samples);
    std::copy(samples, samples + 3, out);
    return 1;
}

// The simple printer: each ink takes away its complement of sRGB, black
// takes away all three.
cmsInt32Number CmykToLab(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo)
{
    const double k = Unit(in[3]);
    const double rgb[3] = {(1 - Unit(in[0])) * (1 - k), (1 - Unit(in[1])) * (1 - k), (1 - Unit(in[2])) * (1 - k)};
    TlEncodeLabV2(static_cast<const TlSrgbLab*>(cargo)->ToLab(rgb), out);
    return 1;
}

// The inverse, with all the grey in the black ink.
cmsInt32Number LabToCmyk(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo)
{
    double rgb[3];
    static_cast<const TlSrgbLab*>(cargo)->FromLab(TlDecodeLabV2(in), rgb);
    const double k = 1 - std::max(rgb[0], std::max(rgb[1], rgb[2]));
    for (int c = 0; c < 3; ++c)
        out[c] = Word(k < 1 ? (1 - rgb[c] - k) / (1 - k) : 0);
    out[3] = Word(k);
    return 1;
}

} // namespace

IKelvraError* TlBuildLabProfile(const TlProfileSpec& spec, TlBytes* bytes)
{
    TlProfile profile(cmsCreateLab2Profile(cmsD50_xyY()));
    if (!profile.Get())
        return TlProfileFailure(__LINE__, "no Lab profile");
    return TlSaveProfile(profile.Get(), spec.description, bytes);
}

IKelvraError* TlBuildLChProfile(const TlProfileSpec& spec, TlBytes* bytes)
{
    TlProfile profile(NewOutputProfile(cmsSig3colorData));
    if (!profile.Get())
        return TlProfileFailure(__LINE__, "no LCh profile");
    IKelvraError* error = TlWriteTables(profile.Get(), cmsSigAToB0Tag, 3, 3,
                                        {TlSampledTable(kLChGrid, 3, 3, LChToLab, nullptr)});
    if (!error)
        error = TlWriteTables(profile.Get(), cmsSigBToA0Tag, 3, 3, {TlSampledTable(kLChGrid, 3, 3, LabToLCh, nullptr)});
    if (!error)
        error = WriteLChMarker(profile.Get());
    return error ? error : TlSaveProfile(profile.Get(), spec.description, bytes);
}

IKelvraError* TlBuildCmykProfile(const TlProfileSpec& spec, TlBytes* bytes)
{
    TlSrgbLab srgb;
    TlProfile profile(NewOutputProfile(cmsSigCmykData));
    if (!profile.Get() || !srgb.IsReady())
        return TlProfileFailure(__LINE__, "no CMYK profile");
    IKelvraError* error = TlWriteTables(profile.Get(), cmsSigAToB0Tag, 4, 3,
                                        {TlSampledTable(kCmykToLabGrid, 4, 3, CmykToLab, &srgb)});
    if (!error)
        error = TlWriteTables(profile.Get(), cmsSigBToA0Tag, 3, 4,
                              {TlSampledTable(kLabToCmykGrid, 3, 4, LabToCmyk, &srgb)});
    return error ? error : TlSaveProfile(profile.Get(), spec.description, bytes);
}
