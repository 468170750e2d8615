// The flat view of one settings holder that the chain builders and the
// filter-parameter operations read. It points into the holder, which must
// outlive it, and keeps the few values it reads once from the image's tags.
#pragma once

#include "raw/TlRawDevelopment.h"
#include "settings/holders/TlvSettingsHolder.h"

#include <cstdint>

class IKelvraImage;
class IKelvraTagControl;

// Where the as-shot channel multipliers come from: four doubles, red and
// blue first.
constexpr std::uint32_t kTlvAsShotMultipliersTag = 0x8000C;

class CTlvParamSet {
public:
    explicit CTlvParamSet(CTlvSettingsHolder& holder);
    CTlvParamSet(const CTlvParamSet&) = delete;
    CTlvParamSet& operator=(const CTlvParamSet&) = delete;
    // Frees nothing it points to.
    virtual ~CTlvParamSet() = default;

    // Every member zeroed, multipliers 1.0, fine angle 0.0, options 0, 1, 0, 1.
    void Clear();
    // The as-shot multipliers (kept when the tag cannot be read: false) and
    // then the model code. True without a tag control, which changes nothing.
    bool ReadImageTags();
    // Recomputes colour-temperature gains for this camera, and for the
    // signal-processing cameras drops the settings their development does
    // not have. Writes into the holder's records. False when it dropped any.
    bool NormalizeForModel();

    bool IsSignalProcessingModel() const { return modelCode >= 513 && modelCode <= 516; }
    STlRawDevelopment RawDevelopment() const { return {modelCode, rawFlag != 0}; }

    // A record counts when its flag is set and its pointer is not null.
    template <typename T>
    static T* Present(std::uint32_t flag, T* record)
    {
        return flag != 0 ? record : nullptr;
    }
    CTlAdjustState* Adjust() const { return Present(adjustFlag, adjust); }
    CTlWhiteBalanceState* WhiteBalance() const { return Present(whiteBalanceFlag, whiteBalance); }
    CTlTripleValueState* LevelTriple() const { return Present(levelTripleFlag, levelTriple); }
    CTlVignetteState* Vignette() const { return Present(vignetteFlag, vignette); }

    // Indexes of `options`.
    enum { kOptionSaveSettings = 0, kOptionCurvesPerChannel = 3 };

    std::uint32_t sharpeningListFlag = 0;
    CTlUsmListState* sharpeningList = nullptr;
    std::uint32_t firstCurvesFlag = 0;
    CTlLutGroup* firstCurves = nullptr;
    std::uint32_t secondCurvesFlag = 0;
    CTlLutGroup* secondCurves = nullptr;
    CTlGeometryState* geometry = nullptr;
    std::uint32_t adjustFlag = 0;
    CTlAdjustState* adjust = nullptr;
    std::uint32_t whiteBalanceFlag = 0;
    CTlWhiteBalanceState* whiteBalance = nullptr;
    std::uint32_t levelTripleFlag = 0;
    CTlTripleValueState* levelTriple = nullptr;
    std::uint32_t vignetteFlag = 0;
    CTlVignetteState* vignette = nullptr;
    std::uint32_t redEyeFlag = 0; // always 1: the red-eye stage decides by its record
    CTlRedEyeState* redEye = nullptr;
    std::uint32_t dustFlag = 0;
    CTlDustState* dust = nullptr;
    std::uint32_t revelationFlag = 0;
    CTlRevelationState* revelation = nullptr;
    std::uint32_t fisheyeFlag = 0;
    CTlFlagState* fisheye = nullptr;
    std::uint32_t lchFlag = 0;
    CTlLutGroup* lch = nullptr;
    std::uint32_t pluginsFlag = 0;
    CTlPluginListState* plugins = nullptr;
    std::uint32_t chromaBoostFlag = 0;
    CTlChromaBoostState* chromaBoost = nullptr;
    std::uint32_t autoBrightnessFlag = 0;
    CTlAutoBrightnessState* autoBrightness = nullptr;
    std::uint32_t flip = 0;
    std::int32_t rotation = 0; // quarter turns, in degrees
    CTlLEGeneral* channelMixer = nullptr;
    std::uint8_t showLostHighlights = 0;
    std::uint8_t showLostShadows = 0;
    IKelvraImage* image = nullptr;
    IKelvraImage* secondImage = nullptr;
    std::uint32_t subImageCount = 0;
    const TlvSubImage* subImages = nullptr;
    IKelvraTagControl* tags = nullptr;
    const unsigned char* profileBuffer = nullptr;
    std::uint32_t profileBufferSize = 0;
    std::uint32_t profileBufferWord = 0;
    std::uint16_t modelCode = 0;
    double asShotRed = 1.0;
    double asShotBlue = 1.0;
    const unsigned char* tagBlob = nullptr;
    std::uint32_t tagBlobSize = 0;
    std::uint8_t outputProfileFlag = 0;
    char outputProfilePath[kTlvPathSize] = {};
    std::uint8_t rawFlag = 0;
    std::uint8_t fixedSize = 0;
    std::uint32_t saveOptions = 0;
    std::uint8_t options[4] = {0, 1, 0, 1};
    double fineAngle = 0.0;
    std::uint32_t reserved = 0;

private:
    void CopyFrom(CTlvSettingsHolder& holder);
};

// The parameter set the image control makes for its updates.
class CTlvControlParamSet : public CTlvParamSet {
public:
    using CTlvParamSet::CTlvParamSet;
    ~CTlvControlParamSet() override = default;
};

// A multiplier read from a file that would divide by zero or flip the
// tables' sign counts as 1.0.
double SaneMultiplier(double value);
