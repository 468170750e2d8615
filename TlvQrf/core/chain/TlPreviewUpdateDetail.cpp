// The update's detail stages on the linear data and after it: dust,
// vignette, moire, Revelation, red-eye, fine edge and colour noise. The
// detail filters work only on the image's own pixels, so a reduced or
// scaled-down preview leaves them off.
#include "chain/TlPreviewUpdate.h"

#include "filters/colornoise/TlColorNoiseReductionFilter.h"
#include "filters/dust/TlDustFilter.h"
#include "filters/moire/TlMoireFilter.h"
#include "filters/redeye/TlRedEyeFilter.h"
#include "filters/revelation/TlRevelationFilter.h"
#include "filters/vignette/TlVignetteFilter.h"
#include "params/TlMoireLevel.h"
#include "params/TlNoiseStrength.h"
#include "params/TlRedEyeRegions.h"
#include "params/TlVignetteParams.h"
#include "params/TlvParamSet.h"
#include "settings/dust/TlDustState.h"

using namespace TlChainSlots;

namespace {

constexpr KelvraPixelFormat kWideSamples = 0x10000000;
constexpr std::uint32_t kNoDetailMode = 4;
constexpr long kRevelationKind = 11;
constexpr int kRedEyeSteps = 4096;

// The chain whose update runs on this thread, for the progress of the
// analyses that report through plain functions.
thread_local CTlCadraFilterChain* t_reporting = nullptr;

class CReportingScope {
public:
    explicit CReportingScope(CTlCadraFilterChain& chain) : m_previous(t_reporting) { t_reporting = &chain; }
    ~CReportingScope() { t_reporting = m_previous; }
    CReportingScope(const CReportingScope&) = delete;
    CReportingScope& operator=(const CReportingScope&) = delete;

private:
    CTlCadraFilterChain* m_previous;
};

bool DustProgress(int /*phase*/, int percent, void* context)
{
    static_cast<CTlCadraFilterChain*>(context)->ReportPhase(kTlProgressStep, std::uint32_t(percent), 0x40000);
    return true;
}

bool RedEyeProgress(long step, long /*phase*/, long argument)
{
    if (t_reporting != nullptr)
        t_reporting->ReportProgress(std::int32_t(step), std::int32_t(argument));
    return true;
}

} // namespace

bool CTlPreviewUpdate::DetailAllowed() const
{
    return Mode() != kNoDetailMode && m_ctx.reduction == 1 && m_ctx.workingScale >= 1.0;
}

// A record without a map analyses the image first; without a map then the
// preview cannot remove dust: "Dust Map Error".
bool CTlPreviewUpdate::UpdateDust()
{
    if (!Has(TlChange::kDust))
        return true;
    const CTlvParamSet& params = *m_ctx.params;
    CTlDustState* record = CTlvParamSet::Present(params.dustFlag, params.dust);
    auto* filter = SlotAs<CDustFilter>(kDust);
    if (record == nullptr || record->IsDefault() || filter == nullptr)
        return Enable(kDust, false);
    if (record->GetDustMap() == nullptr) {
        TlDustAnalysisRequest request;
        request.manager = m_chain.m_manager;
        request.picture = params.image;
        request.tags = params.tags;
        request.plainLuminance = params.rawFlag;
        request.linearPicture = m_ctx.mosaic ? 1 : 0;
        request.progress = DustProgress;
        request.context = &m_chain;
        m_chain.ReportPhase(kTlProgressStarted, 0, 0x40000);
        record->Analyze(request);
        m_chain.ReportPhase(kTlProgressFinished, 100, 0x40000);
    }
    if (record->GetDustMap() == nullptr) {
        Enable(kDust, false);
        return Fail(TlUpdateCode::kNoDustMap, "Dust Map Error");
    }
    return Check(filter->SetDustMap(record->GetDustMap(), true)) &&
           Check(filter->SetToneMode(IsEnabled(kInitialLut), true)) && Enable(kDust, true);
}

bool CTlPreviewUpdate::UpdateVignette()
{
    if (!Has(TlChange::kVignette))
        return true;
    auto* filter = SlotAs<CVignetteFilter>(kVignette);
    if (Mode() == kNoDetailMode || m_ctx.params->Vignette() == nullptr || filter == nullptr)
        return Enable(kVignette, false);
    return Check(SetVignetteParams(*m_ctx.params, *filter, m_ctx.aspect));
}

bool CTlPreviewUpdate::UpdateMoire()
{
    if (!Has(TlChange::kDetail | TlChange::kScale))
        return true;
    const CTlTripleValueState* detail = m_ctx.params->LevelTriple();
    auto* filter = SlotAs<CMoireFilter>(kMoire);
    if (!DetailAllowed() || detail == nullptr || detail->second == 0 || filter == nullptr)
        return Enable(kMoire, false);
    return SetMoireLevel(*m_ctx.params, *filter) || Fail(TlUpdateCode::kFilterFailed);
}

bool CTlPreviewUpdate::UpdateRevelation()
{
    if (!Has(TlChange::kRevelation))
        return true;
    const CTlvParamSet& params = *m_ctx.params;
    const CTlRevelationState* record = CTlvParamSet::Present(params.revelationFlag, params.revelation);
    auto* filter = SlotAs<CRevelationFilter>(kRevelation);
    if (record == nullptr || record->IsDefault() || filter == nullptr)
        return Enable(kRevelation, false);
    const long bits = (m_ctx.format & kWideSamples) != 0 ? 16 : 8;
    return Enable(kRevelation, true) && Check(filter->SetDataFormat(kRevelationKind, bits, false, true)) &&
           Check(filter->SetParameters(record->first, record->third, record->second, true)) &&
           RefreshRevelation();
}

// Its statistics take long: the host sees their progress.
bool CTlPreviewUpdate::RefreshRevelation()
{
    auto* filter = SlotAs<CRevelationFilter>(kRevelation);
    if (filter == nullptr || !filter->IsEnabled() || !filter->IsStatisticsStale())
        return true;
    m_chain.m_progressEnabled = true;
    m_chain.ReportPhase(kTlProgressStarted, 0, kTlProgressFromFilter);
    IKelvraError* error = filter->UpdateStatistics(nullptr);
    m_chain.ReportPhase(kTlProgressFinished, 100, kTlProgressFromFilter);
    m_chain.m_progressEnabled = false;
    return Check(error);
}

bool CTlPreviewUpdate::UpdateRedEye()
{
    if (!Has(TlChange::kRedEye))
        return true;
    const CTlvParamSet& params = *m_ctx.params;
    CTlRedEyeState* record = CTlvParamSet::Present(params.redEyeFlag, params.redEye);
    auto* filter = SlotAs<CRedEyeFilter>(kRedEye);
    if (record == nullptr || record->IsDefault() || filter == nullptr)
        return Enable(kRedEye, false);
    if (!Enable(kRedEye, true) || !Check(filter->SetShootingInfo(params.tags)) ||
        !Check(filter->SetMode(record->value, true)))
        return false;
    const CReportingScope reporting(m_chain);
    if (record->value == CRedEyeFilter::kModeAutomatic) {
        return Check(filter->DetectAuto(RedEyeProgress, kRedEyeSteps, true)) &&
               (StoreRedEyeRegions(*filter, false, record->firstRegions) || Fail(TlUpdateCode::kFilterFailed));
    }
    if (record->value != CRedEyeFilter::kModeManual)
        return true;
    if (record->resetRequest) {
        record->SetResetRequest(false);
        return Check(filter->ClearManualRegions(true));
    }
    if (filter->HasPendingClick())
        return Check(filter->CorrectAtPoint(true));
    filter->SetKeepAutomatic(record->flag != 0);
    if (!LoadRedEyeRegions(*filter, true, record->secondRegions))
        return Fail(TlUpdateCode::kFilterFailed);
    if (record->flag == 0)
        return true;
    return (LoadRedEyeRegions(*filter, false, record->firstRegions) || Fail(TlUpdateCode::kFilterFailed)) &&
           Check(filter->DetectAuto(RedEyeProgress, kRedEyeSteps, true));
}

bool CTlPreviewUpdate::UpdateFineEdge()
{
    if (!Has(TlChange::kDetail | TlChange::kScale))
        return true;
    const CTlTripleValueState* detail = m_ctx.params->LevelTriple();
    return Enable(kFineEdge, DetailAllowed() && detail != nullptr && detail->flag);
}

bool CTlPreviewUpdate::UpdateNoise()
{
    if (!Has(TlChange::kDetail | TlChange::kScale))
        return true;
    auto* filter = SlotAs<CColorNoiseReductionFilter>(kColourNoise);
    const double amount = GetNoiseStrengthFactor(*m_ctx.params);
    if (!DetailAllowed() || !(amount > 0.0) || filter == nullptr)
        return EnableSilently(kColourNoise, false);
    if (!EnableSilently(kColourNoise, true))
        return false;
    if (filter->GetStrength() == amount)
        return true;
    m_ctx.silent.push_back(filter);
    return Check(filter->SetStrength(amount, false));
}
