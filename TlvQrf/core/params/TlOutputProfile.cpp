#include "params/TlOutputProfile.h"

#include "colour/TlSourceProfile.h"
#include "colour/TlWorkingProfiles.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraTagControl.h"
#include "params/TlvParamSet.h"
#include "raw/TlQuietTagReads.h"
#include "settings/loadpath/TlLoadPath.h"

#include <cstring>

namespace {

constexpr char kSrgb[] = "TLsRGB.icm";
constexpr char kAdobe[] = "TLAdobe.icm";
constexpr char kNtsc[] = "TLNTSC.icm";
constexpr char kGrey[] = "TLGrayG22.icm";

// The colour space the camera recorded: 2 Adobe RGB, -1 NTSC.
constexpr std::uint32_t kShotColourSpaceTag = 0x8008D;

// Every model code with this bit is developed into sRGB.
constexpr std::uint16_t kSrgbCameraBit = 0x200;
// Model codes with this bit carry the camera's colour space.
constexpr std::uint16_t kColourSpaceCameraBit = 0x100;

bool CarriesColourSpace(std::uint16_t model)
{
    return (model & kColourSpaceCameraBit) != 0 || model == 1025 || model == 1026;
}

// As shot: what the camera recorded; NTSC when it cannot be read.
const char* ShotColourSpaceProfile(const IKelvraTagControl* tags)
{
    std::int32_t space = -1;
    ReadTagQuietly(tags, kShotColourSpaceTag, kKelvraTagTypeLong, sizeof space, &space);
    if (space == 2)
        return kAdobe;
    return space == -1 ? kNtsc : kSrgb;
}

// The settings' colour-space choice, or as shot when it has none.
const char* CameraProfile(const CTlvParamSet& params)
{
    const CTlAdjustState* adjust = params.Adjust();
    const int choice = adjust ? adjust->ColourSpaceChoice() : 0;
    switch (choice) {
    case 0:
        return ShotColourSpaceProfile(params.tags);
    case 1:
    case 4:
    case 5:
    case 6:
        return kSrgb;
    case 2:
        return kAdobe;
    default:
        return kNtsc;
    }
}

// Images from elsewhere: none before Exif 2.21, else Adobe RGB or sRGB.
const char* ExifProfile(const IKelvraTagControl* tags)
{
    if (!IsExifVersionAtLeast0221(tags))
        return nullptr;
    return IsAdobeRgbByExif(tags) ? kAdobe : kSrgb;
}

void CopyPath(char* result, const char* path)
{
    std::memset(result, 0, kTlvPathSize);
    std::strncpy(result, path, kTlvPathSize - 1);
}

} // namespace

bool GetAutoOutputProfile(const CTlvParamSet* params, char* result)
{
    if (!params || !result)
        return false;
    // An assigned profile without a path names nothing.
    if (params->outputProfileFlag != 0 && params->outputProfilePath[0] != '\0') {
        std::memcpy(result, params->outputProfilePath, kTlvPathSize);
        result[kTlvPathSize - 1] = '\0';
        return true;
    }
    const std::uint16_t model = GetShortTagValue(params->tags);
    const char* name = nullptr;
    if ((model & kSrgbCameraBit) != 0)
        name = kSrgb;
    else if (CarriesColourSpace(model))
        name = CameraProfile(*params);
    else
        name = ExifProfile(params->tags);
    if (!name)
        return false;
    MakeProfilePath(result, name);
    return true;
}

bool GetOutputProfilePath(const CTlvParamSet* params, char* result)
{
    if (!params || !result)
        return false;
    if (IsGreyPixelFormat(PixelFormatOrZero(params->image))) {
        MakeProfilePath(result, kGrey);
        return true;
    }
    if (!GetAutoOutputProfile(params, result))
        CopyPath(result, GetWorkingProfile(kTlRgbWorkingProfile).c_str());
    return true;
}
