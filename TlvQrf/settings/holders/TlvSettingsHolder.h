// A settings holder owns one complete set of edit records for one image,
// with the image objects the library core registered for it. The core makes
// parameter sets from it, points a top-level record at its records to save
// them and copies a loaded top-level record's records back into it.
#pragma once

#include "settings/curves/TlLutGroup.h"
#include "settings/dust/TlDustState.h"
#include "settings/geometry/TlGeometryState.h"
#include "settings/plugins/TlPluginListState.h"
#include "settings/record/TlBlob.h"
#include "settings/small/TlAdjustState.h"
#include "settings/small/TlAutoBrightnessState.h"
#include "settings/small/TlChromaBoostState.h"
#include "settings/small/TlFlagState.h"
#include "settings/small/TlLEGeneral.h"
#include "settings/small/TlRedEyeState.h"
#include "settings/small/TlRevelationState.h"
#include "settings/small/TlTripleValueState.h"
#include "settings/small/TlUsmListState.h"
#include "settings/small/TlVignetteState.h"
#include "settings/small/TlWhiteBalanceState.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CTlvEditSettings;
class CTlvParamSet;
class IKelvraImage;
class IKelvraTagControl;

// The tag whose first two doubles are the camera values.
constexpr std::uint32_t kTlvCameraValuesTag = 0x8000C;
constexpr std::size_t kTlvPathSize = 260;

// One further image a file holds beside its main image.
struct TlvSubImage {
    std::uint32_t flags = 0;
    std::uint32_t word = 0;
    IKelvraImage* image = nullptr;
};

// The image objects the core registered for a holder. The holder releases
// one use of each when it goes (see ~CTlvSettingsHolder).
struct TlvRegisteredImages {
    IKelvraImage* image = nullptr;
    // Set when `temporaryFile` names a file that goes with the image.
    std::uint8_t hasTemporaryFile = 0;
    char temporaryFile[kTlvPathSize] = {};
    std::vector<TlvSubImage> subImages;
    IKelvraImage* secondImage = nullptr;
    IKelvraTagControl* tags = nullptr;
    // The embedded profile's bytes, allocated with new[]. It goes with the
    // image, which other holders may share, so only the holder that drops
    // the image's last use deletes it.
    unsigned char* buffer = nullptr;
    std::size_t bufferSize = 0;
    std::uint32_t bufferWord = 0;
};

class CTlvSettingsHolder {
public:
    CTlvSettingsHolder();
    CTlvSettingsHolder(const CTlvSettingsHolder&) = delete;
    CTlvSettingsHolder& operator=(const CTlvSettingsHolder&) = delete;
    // Releases the registered image objects, then the records go.
    virtual ~CTlvSettingsHolder();

    // A new parameter set built from this holder, owned by the caller; null
    // when the core registered no maker or the set cannot be made.
    virtual CTlvParamSet* CreateParamSet();
    // Takes the camera values from the tags (keeping the previous ones when
    // they cannot be read), then the camera model code, which it returns.
    virtual std::uint16_t ReadCameraValues();
    // Points every slot of `settings` at this holder's record with the
    // record's use flag, and gives it the flip value, angle and data block.
    virtual void ExportTo(CTlvEditSettings& settings);
    // Takes every slot's flag as the use flag and copies the slot's record,
    // or resets the own record when the slot has none; then flip value,
    // angle and data block.
    virtual void ImportFrom(const CTlvEditSettings& settings);

    // The owned records; all but the geometry and the general values have a
    // use flag.
    std::uint8_t usmListUsed = 1;
    CTlUsmListState usmList;
    std::uint8_t toneCurvesUsed = 1;
    CTlLutGroup toneCurves;
    std::uint8_t brightnessContrastUsed = 1;
    CTlLutGroup brightnessContrast;
    std::uint8_t lchUsed = 1;
    CTlLutGroup lch;
    CTlGeometryState geometry;
    std::uint8_t adjustUsed = 1;
    CTlAdjustState adjust;
    std::uint8_t whiteBalanceUsed = 1;
    CTlWhiteBalanceState whiteBalance;
    std::uint8_t tripleValueUsed = 1;
    CTlTripleValueState tripleValue;
    // Values 2 and 3 are the channel mixer's kind and its sharpening level.
    CTlLEGeneral general;
    std::uint8_t vignetteUsed = 0;
    CTlVignetteState vignette;
    std::uint8_t redEyeUsed = 0;
    CTlRedEyeState redEye;
    std::uint8_t dustUsed = 1;
    CTlDustState dust;
    std::uint8_t revelationUsed = 0;
    CTlRevelationState revelation;
    // The fisheye correction's record (fill mode and fill colour).
    std::uint8_t flagsUsed = 0;
    CTlFlagState flags;
    std::uint8_t pluginsUsed = 1;
    CTlPluginListState plugins;
    std::uint8_t chromaBoostUsed = 1;
    CTlChromaBoostState chromaBoost;
    std::uint8_t autoBrightnessUsed = 1;
    CTlAutoBrightnessState autoBrightness;

    CTlBlob data;
    std::uint16_t flip = 0;
    std::uint16_t angle = 0;
    double resolution = 300.0;
    // The scale between the two sources of a raw-processing image; -1 while
    // unknown.
    double minScaleRatio = -1.0;
    double cameraValues[2] = {1.0, 1.0};
    std::uint16_t modelCode = 0;
    // Unique per holder in the process.
    const std::uint32_t serial;
    // Set by the core: the triple-value record keeps its second value on
    // import only while the switch is set and the block word is 0.
    std::uint8_t secondValueSwitch = 0;
    std::uint32_t secondValueBlock = 0;

    // What the core knows of the image's development, copied into every
    // parameter set.
    std::uint8_t rawFlag = 0;           // the image is developed from raw data
    std::uint8_t outputProfileUsed = 0; // convert to `outputProfilePath` at the end
    char outputProfilePath[kTlvPathSize] = {};
    std::uint8_t fixedSize = 0;         // the output size comes from the saver
    std::uint32_t saveOptions = 0;
    double fineAngle = 0.0;             // degrees, added to the quarter turns

    TlvRegisteredImages images;

    // Holds `image` and `tags` in place of the held ones; whichever of the
    // old ones is replaced is released as the destructor would release it.
    void ReplaceImages(IKelvraImage* image, IKelvraTagControl* tags);

private:
    void ReleaseImages();
    void ReleaseImageParts();
    void ReleaseTags();
};
