// The Exif rule: a file is Adobe RGB when its Exif version is "0221" or
// later and its colour-space tags say so exactly.
//
// Ratios come in two stored forms. A tag of raw bytes holds TIFF RATIONAL
// pairs (unsigned 32-bit numerator and denominator), compared as stored, so
// 220/100 is not 22/10. The raw container keeps Exif RATIONAL fields as
// doubles (docs/qrf-format.md): there the form of the fraction is gone and
// the value is compared with the fraction's value.
#include "colour/TlSourceProfile.h"

#include "kelvra/KelvraTagControl.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t kExifVersionTag = 0x9000;
constexpr std::uint32_t kColourSpaceTag = 0xA001;
constexpr std::uint32_t kWhitePointTag = 0x13E;
constexpr std::uint32_t kPrimariesTag = 0x13F;
constexpr std::uint32_t kYCbCrCoefficientsTag = 0x211;
constexpr std::uint32_t kGammaTag = 0xA500;
constexpr long kUncalibrated = 0xFFFF;

struct Ratio {
    std::uint32_t numerator;
    std::uint32_t denominator;
};

// The tag's bytes when it holds exactly `size` of them.
bool ReadExactly(const IKelvraTagControl& tags, std::uint32_t id, std::uint32_t type, void* value, std::uint32_t size)
{
    if (!tags.HasTag(id, 0) || tags.GetTagSize(id, 0) != size)
        return false;
    IKelvraError* error = tags.GetTag(id, type, size, value, 0);
    IKelvraError::Release(error);
    return error == nullptr;
}

bool RatiosMatch(const IKelvraTagControl& tags, std::uint32_t id, const std::vector<Ratio>& expected)
{
    if (!tags.HasTag(id, 0))
        return false;
    const std::uint32_t count = std::uint32_t(expected.size());
    if (tags.GetTagType(id) == kKelvraTagTypeDoubles) {
        std::vector<double> values(count);
        if (!ReadExactly(tags, id, kKelvraTagTypeDoubles, values.data(), count * sizeof(double)))
            return false;
        for (std::uint32_t i = 0; i < count; ++i)
            if (values[i] != double(expected[i].numerator) / double(expected[i].denominator))
                return false;
        return true;
    }
    std::vector<Ratio> stored(count);
    if (!ReadExactly(tags, id, kKelvraTagTypeBytes, stored.data(), count * sizeof(Ratio)))
        return false;
    for (std::uint32_t i = 0; i < count; ++i)
        if (stored[i].numerator != expected[i].numerator || stored[i].denominator != expected[i].denominator)
            return false;
    return true;
}

bool ColourSpaceUncalibrated(const IKelvraTagControl& tags)
{
    std::int32_t space = 0;
    return ReadExactly(tags, kColourSpaceTag, kKelvraTagTypeLong, &space, sizeof space) && space == kUncalibrated;
}

} // namespace

bool IsExifVersionAtLeast0221(const IKelvraTagControl* tags)
{
    char version[4] = {0, 0, 0, 0}; // a failed read counts as four zero bytes
    if (tags)
        ReadExactly(*tags, kExifVersionTag, kKelvraTagTypeBytes, version, sizeof version);
    return std::memcmp(version, "0221", 4) >= 0;
}

bool IsAdobeRgbByExif(const IKelvraTagControl* tags)
{
    if (!tags || !IsExifVersionAtLeast0221(tags))
        return false;
    return ColourSpaceUncalibrated(*tags) && RatiosMatch(*tags, kWhitePointTag, {{313, 1000}, {329, 1000}}) &&
           RatiosMatch(*tags, kPrimariesTag, {{64, 100}, {33, 100}, {21, 100}, {71, 100}, {15, 100}, {6, 100}}) &&
           RatiosMatch(*tags, kYCbCrCoefficientsTag, {{299, 1000}, {587, 1000}, {114, 1000}}) &&
           RatiosMatch(*tags, kGammaTag, {{22, 10}});
}
