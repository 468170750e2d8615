// The image record: the output size, depth, orientation, crop and output
// profile the host reads and sets.
#include "control/TlvQrfControl.h"

#include "control/TlControlCodes.h"
#include "control/TlControlRecords.h"
#include "control/TlControlState.h"
#include "kelvra/KelvraFilterChain.h"

#include <cstring>
#include <utility>

using namespace TlvQrfLib;

namespace {

constexpr std::uint32_t kCropStep = 0x43726F70; // 'Crop'

} // namespace

bool CTlvQrfControl::ChainOutputSize(std::uint32_t& width, std::uint32_t& height) const
{
    IKelvraFilterChain* chain = m_chain != nullptr ? m_chain->GetChain() : nullptr;
    IKelvraDataSource* output = chain != nullptr ? chain->GetOutput() : nullptr;
    if (output == nullptr)
        return false;
    long w = 0;
    long h = 0;
    IKelvraError* error = output->GetSize(&w, &h);
    if (error != nullptr || w < 0 || h < 0) {
        IKelvraError::Release(error);
        return false;
    }
    width = static_cast<std::uint32_t>(w);
    height = static_cast<std::uint32_t>(h);
    return true;
}

bool CTlvQrfControl::OutputCropped(bool oriented) const
{
    CTlDblRect crop;
    CTlDblRect whole;
    geometry.GetOutputRect(crop, oriented);
    geometry.GetImageOutputRect(whole, oriented);
    return crop != whole;
}

IKelvraError* TLV_CALL CTlvQrfControl::GetImageInfo(strTlnImageInfoParam* info)
{
    TL_CONTROL_STATE();
    if (IKelvraError* error = CheckRecordAndRead(info))
        return error;
    std::uint32_t width = fullWidth;
    std::uint32_t height = fullHeight;
    if (!ChainOutputSize(width, height) && m_image.displayWidth != 0 && m_image.displayHeight != 0) {
        width = m_image.displayWidth;
        height = m_image.displayHeight;
    }
    if (IsQuarterTurn(angle))
        std::swap(width, height);
    info->width = width;
    info->height = height;
    info->bytesPerChannel = m_image.colour.bitsPerChannel / 8;
    info->orientation = CodeOfOrientation(angle, flip != 0);
    if (OutputCropped(true)) {
        CTlDblRect crop;
        geometry.GetOutputRect(crop, false);
        info->cropLeft = static_cast<std::int32_t>(crop.left * 0.5);
        info->cropTop = static_cast<std::int32_t>(crop.top * 0.5);
        info->cropRight = static_cast<std::int32_t>(crop.right * 0.5);
        info->cropBottom = static_cast<std::int32_t>(crop.bottom * 0.5);
    } else {
        info->cropLeft = info->cropTop = info->cropRight = info->cropBottom = 0;
    }
    if (info->profile != nullptr) {
        strTlnOutputProfile& profile = *info->profile;
        CopyPath(profile.path, m_image.colour.customProfile ? m_image.colour.customPath : m_defaultProfile);
        profile.colourSpace = RecordColourSpaceOf(m_image.colour.colourSpace);
        profile.formatClass = static_cast<std::uint32_t>(m_formatClass);
    }
    return nullptr;
}

// The size is the developed picture's: the frame's output is set so that
// the picture, not the frame with the mosaic's border, comes out at it.
void CTlvQrfControl::ApplyImageSize(std::uint32_t width, std::uint32_t height, std::uint32_t& changes)
{
    if (width != m_image.displayWidth || height != m_image.displayHeight) {
        geometry.SetStepType(kCropStep);
        SetDevelopedOutput(geometry, width, height);
        GetUnturnedOutput(m_image.displayWidth, m_image.displayHeight);
        changes |= ITlvQrfData::eOutputSize;
    }
    m_image.currentScale = geometry.GetSourceScaleFactor();
}

void CTlvQrfControl::ApplyOutputProfile(const strTlnOutputProfile& profile, std::uint32_t& changes)
{
    STlOutputColour& colour = m_image.colour;
    if (profile.path[0] != '\0') {
        colour.profileGiven = true;
        char given[260] = {};
        CopyPath(given, profile.path);
        colour.customProfile = !SameProfilePath(given, m_defaultProfile);
        if (colour.customProfile)
            CopyPath(colour.customPath, given);
        changes |= ITlvQrfData::eOutputColour;
    }
    if (colour.profileGiven && profile.colourSpace != 0) {
        const std::int32_t stored = StoredColourSpaceOf(profile.colourSpace);
        if (stored != colour.colourSpace)
            changes |= ITlvQrfData::eOutputColour;
        colour.colourSpace = stored;
    }
    if (profile.formatClass != 0)
        m_formatClass = static_cast<int>(profile.formatClass);
}

IKelvraError* TLV_CALL CTlvQrfControl::SetImageInfo(strTlnImageInfoParam* info, bool store)
{
    TL_CONTROL_STATE();
    if (IKelvraError* error = CheckRecordAndRead(info))
        return error;
    if (info->bytesPerChannel > m_sourceBytes)
        return TL_CONTROL_ERROR(kTlErrBadArgument);
    const STlOrientation orientation = OrientationOfCode(info->orientation);
    std::uint32_t changes = 0;
    if (info->width != 0 && info->height != 0) {
        std::uint32_t width = info->width;
        std::uint32_t height = info->height;
        if (IsQuarterTurn(orientation.angle))
            std::swap(width, height);
        ApplyImageSize(width, height, changes);
    }
    if (orientation.angle != angle || orientation.mirror != (flip != 0)) {
        StoreOrientation(orientation.mirror, orientation.angle);
        changes |= ITlvQrfData::eRotation;
    }
    STlOutputColour& colour = m_image.colour;
    if (info->bytesPerChannel != 0 && info->bytesPerChannel != colour.bitsPerChannel / 8) {
        colour.reducedDepth = info->bytesPerChannel != m_sourceBytes;
        colour.bitsPerChannel = info->bytesPerChannel * 8;
        changes |= ITlvQrfData::eOutputColour;
    }
    if (info->profile != nullptr)
        ApplyOutputProfile(*info->profile, changes);
    if (store && (changes & (ITlvQrfData::eOutputSize | ITlvQrfData::eRotation)) != 0) {
        if (IKelvraError* error = WriteStoredSettings())
            return error;
    }
    if (m_chain == nullptr || changes == 0)
        return nullptr;
    if ((changes & ITlvQrfData::eOutputColour) != 0)
        m_chain->SetOutputColour(colour);
    if ((changes & ITlvQrfData::eOutputSize) != 0)
        m_chain->SetUserSize(m_image.displayWidth, m_image.displayHeight);
    return UpdateForSetter(changes);
}
