#include "params/TlvParamSet.h"

#include "kelvra/KelvraTagControl.h"
#include "settings/loadpath/TlLoadPath.h"
#include "settings/whitebalance/TlWhiteBalance.h"

#include <cmath>
#include <cstring>

double SaneMultiplier(double value)
{
    return std::isfinite(value) && value > 0.0 ? value : 1.0;
}

CTlvParamSet::CTlvParamSet(CTlvSettingsHolder& holder)
{
    outputProfilePath[0] = '\0';
    Clear();
    CopyFrom(holder);
    ReadImageTags();
}

void CTlvParamSet::Clear()
{
    // Members one by one: the set is polymorphic, so it cannot be zeroed whole.
    sharpeningListFlag = firstCurvesFlag = secondCurvesFlag = adjustFlag = whiteBalanceFlag = 0;
    levelTripleFlag = vignetteFlag = redEyeFlag = dustFlag = revelationFlag = fisheyeFlag = 0;
    lchFlag = pluginsFlag = chromaBoostFlag = autoBrightnessFlag = flip = 0;
    sharpeningList = nullptr;
    firstCurves = secondCurves = lch = nullptr;
    geometry = nullptr;
    adjust = nullptr;
    whiteBalance = nullptr;
    levelTriple = nullptr;
    vignette = nullptr;
    redEye = nullptr;
    dust = nullptr;
    revelation = nullptr;
    fisheye = nullptr;
    plugins = nullptr;
    chromaBoost = nullptr;
    autoBrightness = nullptr;
    channelMixer = nullptr;
    rotation = 0;
    showLostHighlights = showLostShadows = 0;
    image = secondImage = nullptr;
    subImageCount = 0;
    subImages = nullptr;
    tags = nullptr;
    profileBuffer = nullptr;
    profileBufferSize = profileBufferWord = 0;
    modelCode = 0;
    asShotRed = asShotBlue = 1.0;
    tagBlob = nullptr;
    tagBlobSize = 0;
    outputProfileFlag = 0;
    std::memset(outputProfilePath, 0, sizeof outputProfilePath);
    rawFlag = fixedSize = 0;
    saveOptions = 0;
    options[0] = 0;
    options[1] = 1;
    options[2] = 0;
    options[3] = 1;
    fineAngle = 0.0;
    reserved = 0;
}

void CTlvParamSet::CopyFrom(CTlvSettingsHolder& holder)
{
    sharpeningListFlag = holder.usmListUsed;
    sharpeningList = &holder.usmList;
    firstCurvesFlag = holder.toneCurvesUsed;
    firstCurves = &holder.toneCurves;
    secondCurvesFlag = holder.brightnessContrastUsed;
    secondCurves = &holder.brightnessContrast;
    geometry = &holder.geometry;
    adjustFlag = holder.adjustUsed;
    adjust = &holder.adjust;
    whiteBalanceFlag = holder.whiteBalanceUsed;
    whiteBalance = &holder.whiteBalance;
    levelTripleFlag = holder.tripleValueUsed;
    levelTriple = &holder.tripleValue;
    vignetteFlag = holder.vignetteUsed;
    vignette = &holder.vignette;
    redEyeFlag = 1;
    redEye = &holder.redEye;
    dustFlag = holder.dustUsed;
    dust = &holder.dust;
    revelationFlag = holder.revelationUsed;
    revelation = &holder.revelation;
    fisheyeFlag = holder.flagsUsed;
    fisheye = &holder.flags;
    lchFlag = holder.lchUsed;
    lch = &holder.lch;
    pluginsFlag = holder.pluginsUsed;
    plugins = &holder.plugins;
    chromaBoostFlag = holder.chromaBoostUsed;
    chromaBoost = &holder.chromaBoost;
    autoBrightnessFlag = holder.autoBrightnessUsed;
    autoBrightness = &holder.autoBrightness;
    flip = holder.flip;
    rotation = holder.angle;
    channelMixer = &holder.general;

    const TlvRegisteredImages& images = holder.images;
    image = images.image;
    secondImage = images.secondImage;
    subImageCount = static_cast<std::uint32_t>(images.subImages.size());
    subImages = images.subImages.empty() ? nullptr : images.subImages.data();
    tags = images.tags;
    profileBuffer = images.buffer;
    profileBufferSize = static_cast<std::uint32_t>(images.bufferSize);
    profileBufferWord = images.bufferWord;

    std::size_t blobSize = 0;
    holder.data.Get(&tagBlob, &blobSize);
    tagBlobSize = static_cast<std::uint32_t>(blobSize);

    outputProfileFlag = holder.outputProfileUsed;
    std::memcpy(outputProfilePath, holder.outputProfilePath, sizeof outputProfilePath);
    outputProfilePath[kTlvPathSize - 1] = '\0';
    rawFlag = holder.rawFlag;
    fixedSize = holder.fixedSize;
    saveOptions = holder.saveOptions;
    fineAngle = holder.fineAngle;
}

bool CTlvParamSet::ReadImageTags()
{
    if (tags == nullptr)
        return true;
    double values[4] = {};
    IKelvraError* error = tags->GetTag(kTlvAsShotMultipliersTag, kKelvraTagTypeDoubles, sizeof values, values, 0);
    const bool read = error == nullptr;
    if (read) {
        asShotRed = SaneMultiplier(values[0]);
        asShotBlue = SaneMultiplier(values[1]);
    } else {
        IKelvraError::Release(error);
    }
    modelCode = GetShortTagValue(tags);
    return read;
}

bool CTlvParamSet::NormalizeForModel()
{
    if (CTlWhiteBalanceState* balance = WhiteBalance()) {
        if (balance->mode == CTlWhiteBalanceState::kModeTemperature)
            KelvinToChannelGains(balance->preset, balance->temperature, &balance->firstGain, &balance->secondGain,
                                 static_cast<std::int16_t>(modelCode));
    }
    if (!IsSignalProcessingModel())
        return true;

    bool unchanged = true;
    if (whiteBalanceFlag != 0 && whiteBalance != nullptr && whiteBalance->mode == CTlWhiteBalanceState::kModePreset) {
        whiteBalanceFlag = 0;
        unchanged = false;
    }
    CTlAdjustState* adjustment = Adjust();
    if (adjustment == nullptr)
        return unchanged;
    if (adjustment->ToneMode() == 4) {
        adjustment->SetToneMode(1);
        unchanged = false;
    }
    if (adjustment->ColourSpaceChoice() != 0) {
        adjustment->SetColourSpaceChoice(0);
        unchanged = false;
    }
    return unchanged;
}
