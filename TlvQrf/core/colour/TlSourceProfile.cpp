#include "colour/TlSourceProfile.h"

#include "colour/TlGeneratedProfiles.h"
#include "colour/TlWorkingProfiles.h"
#include "kelvra/KelvraData.h"

namespace {

// Cameras whose ordinary images carry their colour mode.
bool IsColourModeCamera(std::uint16_t code)
{
    return code == 258 || code == 259 || code == 260 || code == 1025;
}

// Raw images of these cameras are developed by the signal-processing library
// into sRGB.
bool IsSignalProcessedCamera(std::uint16_t code)
{
    return code >= 513 && code <= 516;
}

std::string InProfileFolder(const char* name)
{
    return GetProfileFolderPath() + name;
}

std::string OrdinaryImageProfile(const TlSourceProfileFacts& facts)
{
    if (facts.hasAssignedProfile)
        return facts.assignedProfile;
    if (facts.modelCode == 257)
        return InProfileFolder("TLNTSC.icm");
    if (IsColourModeCamera(facts.modelCode))
        return InProfileFolder(facts.adobeColourMode ? "TLAdobe.icm" : "TLsRGB.icm");
    return InProfileFolder(IsAdobeRgbByExif(facts.tags) ? "TLAdobe.icm" : "TLsRGB.icm");
}

std::string RawImageProfile(const TlSourceProfileFacts& facts)
{
    if (IsSignalProcessedCamera(facts.modelCode))
        return InProfileFolder("TLsRGB.icm");
    return ProvideGeneratedProfile(facts.cameraProfile, facts.customCurveNumber);
}

} // namespace

std::uint32_t PixelFormatOrZero(IKelvraDataSource* source)
{
    KelvraPixelFormat format = 0;
    if (source) {
        IKelvraError* error = source->GetColorSpace(&format);
        if (error) {
            IKelvraError::Release(error);
            format = 0;
        }
    }
    return format;
}

std::string ChooseSourceProfile(const TlSourceProfileFacts& facts)
{
    return facts.raw ? RawImageProfile(facts) : OrdinaryImageProfile(facts);
}

bool RequestImageEngine(CCMLEngMgr::CReference& ref, const TlSourceProfileFacts& facts, const char* destination,
                        long* bitsPerChannel, IKelvraError** why)
{
    const KelvraPixelFormat format = PixelFormatOrZero(facts.pixelSource);
    std::string source;
    if (facts.raw)
        source = ChooseSourceProfile(facts);
    else if (IsGreyPixelFormat(format))
        source = InProfileFolder("TLGrayG22.icm");
    else if (facts.hasAssignedProfile)
        source = facts.assignedProfile;
    else
        source = ChooseSourceProfile(facts);
    if (bitsPerChannel)
        *bitsPerChannel = (format & 0x10000000) ? 16 : 8;
    return RequestEngine(ref, source.c_str(), destination, why);
}
