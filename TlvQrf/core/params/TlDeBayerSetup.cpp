#include "params/TlDeBayerSetup.h"

#include "filters/debayer/TlDeBayerFilterBase.h"
#include "filters/debayer/TlDeBayerHQFilter.h"
#include "filters/debayer/TlDeBayerStdFilter.h"
#include "filters/debayer/TlKeyedParams.h"
#include "kelvra/KelvraImage.h"
#include "params/TlDevelopTags.h"
#include "params/TlGainTables.h"
#include "params/TlSensitivityCode.h"
#include "params/TlSensorCrop.h"
#include "params/TlvParamSet.h"
#include "raw/TlQuietTagReads.h"
#include "raw/TlRawFormat.h"

#include <new>
#include <utility>

namespace {

constexpr KelvraTag kHighQualityDeBayer = TlFilterId("db1g");
// The camera whose mosaic is balanced before it is stored.
constexpr std::uint16_t kPreBalancedModel = 257;
// The camera whose tuning follows its lower sensitivity range.
constexpr std::uint16_t kLowRangeModel = 259;

bool ReadImageSize(IKelvraImage& image, long& width, long& height)
{
    IKelvraError* error = image.GetWidth(&width);
    if (error == nullptr)
        error = image.GetHeight(&height);
    return Succeeded(error);
}

bool SetTuning(CDeBayerFilterBase& filter, const CTlvParamSet& params)
{
    if (filter.GetFilterTag() != kHighQualityDeBayer || params.tags == nullptr)
        return true;
    CTlKeyedParams tuning;
    const int key = GetSensitivityCode(params.tags);
    if (params.modelCode == kLowRangeModel)
        tuning.SelectB(key);
    else
        tuning.SelectA(key);
    return Succeeded(filter.SetTuning(tuning.Values()));
}

bool SetGeometry(CDeBayerFilterBase& filter, const CTlvParamSet& params, long width, long height, long divisor)
{
    std::uint32_t sensorWidth = 0, sensorHeight = 0;
    GetSensorSize(params.tags, sensorWidth, sensorHeight, false); // a missing size reads as 0
    const KelvraRect imageRect(0, 0, width, height);
    const KelvraRect crop = SensorCrop(params.modelCode, sensorWidth, sensorHeight, divisor);
    bool ok = Succeeded(filter.SetPixelAspectMode(false, &imageRect, true));
    ok = Succeeded(filter.SetSourceRect(crop, &imageRect, true)) && ok;
    return Succeeded(filter.Enable(true, true)) && ok;
}

bool SetGains(CDeBayerFilterBase& filter, const CTlvParamSet& params)
{
    // Clears the tables first; a failure here does not count.
    IKelvraError::Release(filter.SetChannelLuts(0, 0, nullptr, nullptr, nullptr, true));
    if (params.modelCode == kPreBalancedModel)
        return true;
    STlGainTables tables;
    if (!BuildGainTables(params.asShotRed, params.asShotBlue, tables))
        return false;
    return Succeeded(filter.SetChannelLuts(kTlGainTableBits, kTlGainTableBits, tables.red.data(),
                                           tables.green.data(), tables.blue.data(), true));
}

bool SetPattern(CDeBayerFilterBase& filter, const CTlvParamSet& params)
{
    std::vector<std::uint8_t> pattern;
    switch (ReadCfaPattern(params.tags, pattern)) {
    case TlPatternRead::kAbsent: return true;
    case TlPatternRead::kFailed: return false;
    case TlPatternRead::kRead: break;
    }
    return Succeeded(filter.SetPixelMap(pattern.data(), pattern.size(), false));
}

} // namespace

bool SetupDeBayer(CDeBayerFilterBase* filter, const CTlvParamSet& params, long divisor)
{
    if (params.image == nullptr)
        return false;
    KelvraPixelFormat format = 0;
    if (!Succeeded(params.image->GetColorSpace(&format)))
        return false;
    if (format != kTlRawMosaic) {
        if (filter != nullptr)
            IKelvraError::Release(filter->Enable(false, true));
        return true;
    }
    if (filter == nullptr)
        return false;
    long width = 0, height = 0;
    if (!ReadImageSize(*params.image, width, height))
        return true;
    bool ok = SetTuning(*filter, params);
    ok = SetGeometry(*filter, params, width, height, divisor) && ok;
    ok = SetGains(*filter, params) && ok;
    return SetPattern(*filter, params) && ok;
}

bool MakeDeBayer(IKelvraManager* manager, const CTlvParamSet& params, bool highQuality,
                 std::unique_ptr<CDeBayerFilterBase>& made)
{
    made.reset();
    KelvraPixelFormat format = 0;
    if (params.image == nullptr || !Succeeded(params.image->GetColorSpace(&format)) || format != kTlRawMosaic)
        return true;
    std::unique_ptr<CDeBayerFilterBase> filter;
    if (highQuality)
        filter.reset(new (std::nothrow) CDeBayerHQFilter(manager));
    else
        filter.reset(new (std::nothrow) CDeBayerStdFilter(manager));
    if (!filter || !SetupDeBayer(filter.get(), params, 1))
        return false;
    made = std::move(filter);
    return true;
}
