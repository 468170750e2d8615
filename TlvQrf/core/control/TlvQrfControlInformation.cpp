// Reading the image information once per initialisation: pixel format and
// depth, sizes, the orientation the tags record, the embedded profile and,
// for a control with tags alone, the settings stored in the file.
#include "control/TlvQrfControl.h"

#include "colour/TlWorkingProfiles.h"
#include "control/TlControlRecords.h"
#include "control/TlDefaultProfileHook.h"
#include "control/TlImageFormats.h"
#include "filtrix/KelvraFilterTransform.h"
#include "frame/TlProfileFolder.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraTagControl.h"
#include "lib/TlLibraryState.h"
#include "params/TlvParamSet.h"
#include "raw/TlEmbeddedProfile.h"

#include <memory>
#include <string>
#include <utility>

namespace {

constexpr std::uint32_t kStoredFlipTag = 0x10004;
constexpr std::uint32_t kStoredAngleTag = 0x10005;

// Until the library's start-up has set the working profiles, the first
// control sets the defaults from the profiles folder, once per process.
void SetDefaultWorkingProfiles(const std::string& folder)
{
    if (AreColourPathsReady())
        return;
    SetProfileFolder(folder.c_str());
    SetWorkingProfiles((folder + "TLsRGB.icm").c_str(), (folder + "TlCMYK.icm").c_str(),
                       (folder + "TlLch2.icm").c_str(), "", (folder + "TLsRGB.icm").c_str());
    SetColourPathsReady(true);
}

} // namespace

IKelvraError* CTlvQrfControl::ReadImageInformation()
{
    if (m_informationRead)
        return nullptr;
    if (m_manager != nullptr)
        TlvQrfLib::SetGlobalManager(m_manager);
    // A copy left by an earlier, failed reading goes first.
    DropEmbeddedProfile();
    const std::string folder = GetProfileFolder();
    SetDefaultWorkingProfiles(folder);
    WriteEmbeddedProfileCopy(folder);
    if (HasImage()) {
        std::unique_ptr<CTlvParamSet> params(CreateParamSet());
        if (params)
            ChooseDefaultProfile(params.get(), m_defaultProfile);
    }
    ReadCameraValues();
    m_image.twelveBit = images.tags != nullptr && IsTwelveBitSource(*images.tags);
    if (!HasImage()) {
        if (IKelvraError* error = ReadStoredSettings())
            return error;
    }
    m_formatClass = FormatClass();
    if (IKelvraError* error = HasImage() ? ReadSourceFormat() : ReadTagOrientation())
        return error;
    ReadDevelopedSize();
    TakeGeometrySizes();
    m_informationRead = true;
    return nullptr;
}

// The temporary file is ours only while the flag is set: a copy that could
// not be written is deleted at once.
void CTlvQrfControl::WriteEmbeddedProfileCopy(const std::string& folder)
{
    IKelvraTagControl* tags = images.tags;
    if (tags == nullptr || !tags->HasTag(kTlIccProfileTag, 0) ||
        tags->GetTagType(kTlIccProfileTag) != kKelvraTagTypeBytes)
        return;
    char path[MAX_PATH] = {};
    if (GetTempFileNameA(folder.c_str(), "TlP", 0, path) == 0)
        return;
    if (WriteEmbeddedProfile(tags, path, false)) {
        CopyPath(m_image.profilePath, path);
        m_image.embeddedProfile = true;
    } else {
        DeleteFileA(path);
    }
}

int CTlvQrfControl::FormatClass()
{
    std::uint32_t format = m_storedPixelFormat;
    if (format == 0 && HasImage()) {
        KelvraPixelFormat own = 0;
        IKelvraError* error = images.image->GetColorSpace(&own);
        if (error != nullptr) {
            IKelvraError::Release(error);
            own = 0;
        }
        format = own;
    }
    return FormatClassOf(format);
}

IKelvraError* CTlvQrfControl::ReadSourceFormat()
{
    std::uint32_t format = m_storedPixelFormat;
    if (format == 0) {
        KelvraPixelFormat own = 0;
        if (IKelvraError* error = images.image->GetColorSpace(&own))
            return error;
        format = own;
    }
    m_sourceBytes = SourceBytesOf(format);
    m_image.colour.bitsPerChannel = 8 * m_sourceBytes;
    return nullptr;
}

IKelvraError* CTlvQrfControl::ReadTagOrientation()
{
    IKelvraTagControl* tags = images.tags;
    double extraAngle = 0.0;
    bool extraFlip = false;
    if (tags->HasTag(kStoredAngleTag, 0)) {
        if (IKelvraError* error = tags->GetTag(kStoredAngleTag, kKelvraTagTypeBytes, sizeof extraAngle, &extraAngle, 0))
            return error;
    }
    if (tags->HasTag(kStoredFlipTag, 0)) {
        std::uint32_t value = 0;
        if (IKelvraError* error = tags->GetTag(kStoredFlipTag, kKelvraTagTypeBytes, sizeof value, &value, 0))
            return error;
        extraFlip = value == 1;
    }
    if (extraFlip || extraAngle != 0.0) {
        bool mirror = flip != 0;
        double degrees = angle;
        CKelvraFilterTransform::DoStateTransform(mirror, degrees, extraFlip, extraAngle, true);
        StoreOrientation(mirror, static_cast<int>(degrees));
    }
    return nullptr;
}

// The geometry works at twice the pixel size: its image width is halved.
// The full size is the frame's; the display size is the developed
// picture's, which the host is shown.
void CTlvQrfControl::TakeGeometrySizes()
{
    double width = geometry.GetImageWidth() * 0.5;
    double height = geometry.GetImageHeight() * 0.5;
    if (width < 1.0)
        width = 1.0;
    if (height < 1.0)
        height = 1.0;
    const double pixelScale = geometry.GetSourceScaleFactor();
    fullWidth = static_cast<std::uint32_t>(width / pixelScale);
    fullHeight = static_cast<std::uint32_t>(height / pixelScale);
    const STlFrameRatio ratio = DevelopedPerFramePixel(geometry);
    m_image.displayWidth = WholePixels(ratio.DevelopedX(width) / pixelScale);
    m_image.displayHeight = WholePixels(ratio.DevelopedY(height) / pixelScale);
    if (FrameTurned(geometry))
        std::swap(m_image.displayWidth, m_image.displayHeight);
    m_image.baseScale = m_image.currentScale = pixelScale;
    m_image.aspect = fullHeight != 0 ? double(fullWidth) / fullHeight : 1.0;
}
