// The camera base profiles that the camera profile generator copies and
// fills in: an input profile whose tag table holds exactly 'desc', 'cprt',
// 'wtpt', 'A2B0' and 'B2A0', in that order, laid out one after the other.
// The generator keeps everything from 'wtpt' on (221528 bytes) and writes
// its 32 x 32 x 32 camera-RGB-to-Lab grid 24628 bytes into 'A2B0', so:
//   'A2B0': 16-bit table, 4096-entry input curves (3 x 4096 x 2 bytes after
//           the 52-byte head), the 32-point grid, 2-entry output curves;
//   'B2A0': 16-bit table, 2-entry input curves, a 3-point grid, 5-entry
//           output curves;
//   4 spare bytes at the end bring the part from 'wtpt' on to 221528.
// Until the generator fills it, the grid holds sRGB to Lab.
#include "TlProfileBuild.h"

#include <cstring>
#include <new>

namespace {

const unsigned kCameraGrid = 32;
const unsigned kInputCurveEntries = 4096;
const unsigned kReturnGrid = 3;
const unsigned kReturnCurveEntries = 5;
const std::size_t kTagTableEnd = 192;          // header, count and five entries
const std::size_t kTailFromWhitePoint = 221528; // what the generator copies
const char kCameraNotice[] = "Synthetic base profile of Talvo.";

void PutBE32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(value >> (24 - 8 * i));
}

std::uint32_t GetBE32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 | std::uint32_t(bytes[at + 2]) << 8 |
           bytes[at + 3];
}

// The text-description layout the generator writes: the ASCII part, empty
// Unicode and script parts, then the text once more.
std::vector<std::uint8_t> DescriptionTag(const char* text)
{
    const std::size_t n = std::strlen(text);
    std::vector<std::uint8_t> tag(2 * n + 25, 0);
    std::memcpy(tag.data(), "desc", 4);
    PutBE32(tag, 8, std::uint32_t(n + 1));
    std::memcpy(tag.data() + 12, text, n);
    tag[12 + n + 1 + 10] = std::uint8_t(n + 1);
    std::memcpy(tag.data() + 12 + n + 1 + 11, text, n);
    return tag;
}

std::vector<std::uint8_t> NoticeTag(const char* text)
{
    const std::size_t m = std::strlen(text);
    std::vector<std::uint8_t> tag(m + 9, 0);
    std::memcpy(tag.data(), "text", 4);
    std::memcpy(tag.data() + 8, text, m);
    return tag;
}

cmsInt32Number SrgbToLab(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo)
{
    const double rgb[3] = {in[0] / 65535.0, in[1] / 65535.0, in[2] / 65535.0};
    TlEncodeLabV2(static_cast<const TlSrgbLab*>(cargo)->ToLab(rgb), out);
    return 1;
}

cmsInt32Number LabToSrgb(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo)
{
    double rgb[3];
    static_cast<const TlSrgbLab*>(cargo)->FromLab(TlDecodeLabV2(in), rgb);
    for (int c = 0; c < 3; ++c)
        out[c] = cmsUInt16Number(rgb[c] * 65535.0 + 0.5);
    return 1;
}

IKelvraError* WriteTags(cmsHPROFILE profile, const TlProfileSpec& spec, const TlSrgbLab& srgb)
{
    const std::vector<std::uint8_t> description = DescriptionTag(spec.description);
    const std::vector<std::uint8_t> notice = NoticeTag(kCameraNotice);
    void* cargo = const_cast<TlSrgbLab*>(&srgb);
    if (!cmsWriteRawTag(profile, cmsSigProfileDescriptionTag, description.data(), cmsUInt32Number(description.size())) ||
        !cmsWriteRawTag(profile, cmsSigCopyrightTag, notice.data(), cmsUInt32Number(notice.size())) ||
        !cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ()))
        return TlProfileFailure(__LINE__, "camera base text tags not written");
    IKelvraError* error = TlWriteTables(profile, cmsSigAToB0Tag, 3, 3,
                                        {TlIdentityCurves(3, kInputCurveEntries),
                                         TlSampledTable(kCameraGrid, 3, 3, SrgbToLab, cargo), TlIdentityCurves(3, 2)});
    if (!error)
        error = TlWriteTables(profile, cmsSigBToA0Tag, 3, 3,
                              {TlIdentityCurves(3, 2), TlSampledTable(kReturnGrid, 3, 3, LabToSrgb, cargo),
                               TlIdentityCurves(3, kReturnCurveEntries)});
    return error;
}

// Adds the spare bytes and checks the layout the generator relies on.
IKelvraError* PadToGeneratorLayout(TlBytes* bytes)
{
    if (bytes->size() < kTagTableEnd || GetBE32(*bytes, 128) != 5)
        return TlProfileFailure(__LINE__, "camera base tag table");
    const std::size_t whitePoint = GetBE32(*bytes, 132 + 2 * 12 + 4);
    if (whitePoint > bytes->size() || bytes->size() - whitePoint > kTailFromWhitePoint)
        return TlProfileFailure(__LINE__, "camera base layout");
    try {
        bytes->resize(whitePoint + kTailFromWhitePoint, 0);
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTlProfileMakerTag, kKelvraOutOfMemory);
    }
    PutBE32(*bytes, 0, std::uint32_t(bytes->size()));
    return nullptr;
}

} // namespace

IKelvraError* TlBuildCameraBaseProfile(const TlProfileSpec& spec, TlBytes* bytes)
{
    TlSrgbLab srgb;
    TlProfile profile(cmsCreateProfilePlaceholder(nullptr));
    if (!profile.Get() || !srgb.IsReady())
        return TlProfileFailure(__LINE__, "no camera base profile");
    cmsSetProfileVersion(profile.Get(), 2.1);
    cmsSetDeviceClass(profile.Get(), cmsSigInputClass);
    cmsSetColorSpace(profile.Get(), cmsSigRgbData);
    cmsSetPCS(profile.Get(), cmsSigLabData);
    IKelvraError* error = WriteTags(profile.Get(), spec, srgb);
    if (!error)
        error = TlSaveProfileAsIs(profile.Get(), bytes);
    return error ? error : PadToGeneratorLayout(bytes);
}
