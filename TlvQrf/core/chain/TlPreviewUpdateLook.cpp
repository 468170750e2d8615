// The update's look stages after the colour conversion: hue and
// saturation, the chroma booster, the user's LCH curves, auto brightness,
// the channel mixer and the show-lost-detail overlay.
#include "chain/TlPreviewUpdate.h"

#include "filters/autobrightness/TlAutoBrightnessFilter.h"
#include "filters/chromabooster/TlChromaBoosterFilter.h"
#include "filters/lch/TlFltLch.h"
#include "filters/lostdetail/TlShowLostDetailFilter.h"
#include "filters/saturation/TlSaturationCompensationFilter.h"
#include "filtrix/KelvraFilterHistogram.h"
#include "filtrix/KelvraFilterLut.h"
#include "params/TlLchTables.h"
#include "params/TlSaturationCompensation.h"
#include "params/TlToneLuts.h"
#include "params/TlvParamSet.h"

using namespace TlChainSlots;

namespace {

// The level a record keeps until the booster says which level it uses.
constexpr std::int32_t kBoostDefaultLevel = 1000;
constexpr double kExposureUnits = 256.0;

} // namespace

bool CTlPreviewUpdate::UpdateSaturation()
{
    if (!Has(TlChange::kAdjust | TlChange::kSaturation) && !m_ctx.lchChanged)
        return true;
    if (!IsEnabled(kLchStage))
        return Enable(kSaturation, false) && Enable(kHueLut, false);
    auto* hue = SlotAs<CKelvraFilterLut>(kHueLut);
    if (hue != nullptr)
        SetHueSaturationLut(*m_ctx.params, nullptr, hue);
    if (!Enable(kHueLut, true))
        return false;
    auto* saturation = SlotAs<CSaturationCompensationFilter>(kSaturation);
    if (!m_chain.m_colourManagement || saturation == nullptr)
        return Enable(kSaturation, false);
    SetSaturationCompensation(*m_ctx.params, *saturation);
    return true;
}

bool CTlPreviewUpdate::UpdateChromaBoost()
{
    if (!Has(TlChange::kChromaBoost))
        return true;
    const CTlvParamSet& params = *m_ctx.params;
    CTlChromaBoostState* record = CTlvParamSet::Present(params.chromaBoostFlag, params.chromaBoost);
    auto* filter = SlotAs<CChromaBoosterFilter>(kChromaBoost);
    if (record == nullptr || filter == nullptr)
        return Enable(kChromaBoost, false);
    if (const int code = LoadLchCalibration(*filter, params.tags, TlUpdateCode::kBoostTable,
                                            TlUpdateCode::kBoostTableMalformed))
        return Fail(code);
    if (!Check(filter->SetThresholdEnabled(record->enabled, true)) ||
        !Check(filter->SetLevel(record->amount, true)))
        return false;
    if (record->amount == kBoostDefaultLevel)
        record->amount = filter->GetLevel();
    return Enable(kChromaBoost, !record->IsDefault());
}

bool CTlPreviewUpdate::UpdateLchCurves()
{
    if (!Has(TlChange::kLchCurves))
        return true;
    const CTlvParamSet& params = *m_ctx.params;
    const CTlLutGroup* group = CTlvParamSet::Present(params.lchFlag, params.lch);
    auto* filter = SlotAs<CFltLch>(kLch);
    if (group == nullptr || group->IsDefault() || filter == nullptr)
        return Enable(kLch, false);
    if (const int code = LoadLchCalibration(*filter, params.tags, TlUpdateCode::kLchCalibration,
                                            TlUpdateCode::kLchCalibrationMalformed))
        return Fail(code);
    STlLutTables tables;
    if (!MakeLchTables(*group, tables))
        return Fail(TlUpdateCode::kFilterFailed);
    const std::uint16_t* pointers[3];
    tables.Pointers(pointers);
    return Check(filter->SetLuts(pointers, 16, 16, 3, true)) && Enable(kLch, true);
}

bool CTlPreviewUpdate::UpdateAutoBrightness()
{
    if (!Has(TlChange::kAutoBrightness))
        return true;
    const CTlvParamSet& params = *m_ctx.params;
    CTlAutoBrightnessState* record = CTlvParamSet::Present(params.autoBrightnessFlag, params.autoBrightness);
    auto* filter = SlotAs<CAutoBrightnessFilter>(kAutoBrightness);
    if (filter == nullptr)
        return true;
    if (record != nullptr) {
        if (!record->IsWatching(filter) && !Check(record->KelvraFilterStartWatching(filter)))
            return false;
        if (!Check(filter->SetHistogram(SlotAs<CKelvraFilterHistogram>(kFirstHistogram), true)))
            return false;
    }
    if (record == nullptr || record->IsDefault())
        return Enable(kAutoBrightness, false);
    return Check(filter->SetLevels(-1, record->lowLevel, record->highLevel, true)) &&
           Check(filter->SetUseBlackLevel(record->useBlackLevel, true)) &&
           Check(filter->SetExposureCompensation(int(record->exposureCompensation * kExposureUnits), true)) &&
           Enable(kAutoBrightness, true);
}

bool CTlPreviewUpdate::UpdateMixer()
{
    if (!Has(TlChange::kMixer))
        return true;
    const CTlLEGeneral* mixer = m_ctx.params->channelMixer;
    const int kind = mixer != nullptr ? mixer->MixerKind() : 0;
    return Enable(kMixer, kind == 1 || kind == 2) && Enable(kFixedToneLut, kind == 2);
}

bool CTlPreviewUpdate::UpdateLostDetail()
{
    if (!Has(TlChange::kLostDetail))
        return true;
    auto* filter = SlotAs<CShowLostDetailFilter>(kLostDetail);
    if (filter == nullptr)
        return true;
    if (m_ctx.params->showLostHighlights != 0)
        return Check(filter->ShowHighlights(true)) && Enable(kLostDetail, true);
    if (m_ctx.params->showLostShadows != 0)
        return Check(filter->ShowShadows(true)) && Enable(kLostDetail, true);
    return Enable(kLostDetail, false);
}
