// The edit settings a raw file stores in its tags: read for a control that
// has tags but no image, and written back when the host stores a new size or
// orientation.
#include "control/TlvQrfControl.h"

#include "control/TlControlCodes.h"
#include "control/TlImageFormats.h"
#include "kelvra/KelvraTagControl.h"
#include "raw/TlRawFormat.h"
#include "raw/TlTagBytes.h"
#include "settings/edit/TlvEditSettings.h"

#include <new>
#include <vector>

namespace {

constexpr std::uint32_t kGeometryPart = 0x20;
constexpr double kStoredResolution = 300.0;

template <class Record>
bool Edited(std::uint8_t used, const Record& record)
{
    return used != 0 && !record.IsDefault();
}

// The state of stored settings by their version: 0, 1 to 4, 5 and later.
int StateOfVersion(std::uint16_t version, int current)
{
    return version == 0 ? 10 : version <= 4 ? 2 : current;
}

} // namespace

bool CTlvQrfControl::StoredSettingsEdited(bool versionFlag) const
{
    if (Edited(usmListUsed, usmList) || Edited(toneCurvesUsed, toneCurves) ||
        Edited(brightnessContrastUsed, brightnessContrast) || Edited(lchUsed, lch) ||
        Edited(adjustUsed, adjust) || Edited(whiteBalanceUsed, whiteBalance) ||
        Edited(tripleValueUsed, tripleValue) || Edited(vignetteUsed, vignette) || Edited(redEyeUsed, redEye) ||
        Edited(dustUsed, dust) || Edited(revelationUsed, revelation) || Edited(flagsUsed, flags) ||
        Edited(pluginsUsed, plugins) || Edited(chromaBoostUsed, chromaBoost) ||
        Edited(autoBrightnessUsed, autoBrightness))
        return true;
    if (OutputCropped(true) || geometry.GetSourceScaleFactor() != 1.0)
        return true;
    return IsModel259TwelveBit() && !versionFlag;
}

int CTlvQrfControl::StateOfStoredSettings(bool edited, std::uint16_t version, bool versionFlag) const
{
    if (edited)
        return StateOfVersion(version, 1);
    const bool turned = (angle != 0 && angle != 360) || flip != 0;
    if (!turned)
        return 3;
    return StateOfVersion(version, versionFlag ? 3 : 1);
}

void CTlvQrfControl::AdjustModel259Scale(std::uint16_t version, bool versionFlag)
{
    if (!IsModel259TwelveBit())
        return;
    if (versionFlag) {
        if (geometry.GetSourceScaleFactor() == 1.0)
            geometry.SetScale(kTlScaledMosaicScale);
    } else if (version == 3) {
        geometry.SetScale(geometry.GetScale() * kTlScaledMosaicScale);
    }
}

IKelvraError* CTlvQrfControl::ReadStoredSettings()
{
    IKelvraTagControl* tags = images.tags;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    IKelvraError::Release(SizeFromTags(tags, &width, &height));
    geometry = CTlGeometryState(width, height, nullptr, kStoredResolution);
    const std::uint32_t size = tags->GetTagType(kTlStoredSettingsTag) == kKelvraTagTypeBytes
                                   ? tags->GetTagSize(kTlStoredSettingsTag, 0)
                                   : 0;
    if (size == 0) {
        if (IsModel259TwelveBit())
            geometry.SetScale(kTlScaledMosaicScale);
        return nullptr;
    }
    std::vector<unsigned char> block;
    try {
        block.resize(size);
    } catch (const std::bad_alloc&) {
        return TL_CONTROL_ERROR(kTlErrNoMemory);
    }
    if (IKelvraError* error = tags->GetTag(kTlStoredSettingsTag, kKelvraTagTypeBytes, size, block.data(), 0))
        return error;
    const int blockSize = static_cast<int>(size);
    CTlvEditSettingsEx settings;
    ExportTo(settings);
    settings.recordMask = ~kGeometryPart;
    settings.Load(block.data(), blockSize, static_cast<int>(width), static_cast<int>(height));
    ImportFrom(settings);
    secondWhiteBalance = whiteBalance;
    secondAdjust = adjust;
    // The stored record carries no pixel type: the image is asked.
    m_storedPixelFormat = 0;
    settings.recordMask = kGeometryPart;
    settings.Load(block.data(), blockSize, static_cast<int>(width), static_cast<int>(height));
    const std::uint16_t version = geometry.GetLoadedVersion();
    const bool versionFlag = version > 4 && geometry.OrientationFlag != 0;
    m_storedEditState = StateOfStoredSettings(StoredSettingsEdited(versionFlag), version, versionFlag);
    AdjustModel259Scale(version, versionFlag);
    return nullptr;
}

IKelvraError* CTlvQrfControl::WriteStoredSettings()
{
    CTlvEditSettingsEx settings;
    ExportTo(settings);
    // The stored record keeps the frame's units.
    CTlGeometryState stored(geometry);
    SetDevelopedOutput(stored, m_image.displayWidth, m_image.displayHeight);
    if (m_storedEditState == 0 || m_storedEditState == 3) {
        const double fullScale = IsModel259TwelveBit() ? kTlScaledMosaicScale : 1.0;
        const bool atFullScale = m_image.currentScale == fullScale;
        stored.OrientationFlag = atFullScale ? 1 : 0;
        if (atFullScale)
            stored.SetScale(1.0);
    }
    settings.geometry.record = &stored;
    std::vector<unsigned char> block;
    try {
        block.resize(static_cast<std::size_t>(settings.GetSize()));
    } catch (const std::bad_alloc&) {
        return TL_CONTROL_ERROR(kTlErrNoMemory);
    }
    settings.Save(block.data(), static_cast<int>(block.size()));
    IKelvraTagControl* tags = images.tags;
    IKelvraError* error = tags->RemoveTag(kTlStoredSettingsTag);
    if (error == nullptr)
        error = tags->AddTag(kTlStoredSettingsTag);
    if (error == nullptr)
        error = tags->SetTag(kTlStoredSettingsTag, kKelvraTagTypeBytes, static_cast<std::uint32_t>(block.size()),
                             block.data());
    return error;
}
