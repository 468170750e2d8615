// The stages that analyse the picture before they change it: dust, whose
// map the record finds on first use, Revelation, whose long passes report
// to the save's filter watcher, and red-eye with the regions found before.
#include "fullres/TlChainBuilder.h"
#include "fullres/TlProcessingChain.h"

#include "frame/TlSaveProgress.h"
#include "params/TlRedEyeRegions.h"
#include "params/TlvParamSet.h"
#include "watcher/TlFileSavingUtilities.h"

#include "filters/dust/TlDustFilter.h"
#include "filters/redeye/TlRedEyeFilter.h"
#include "filters/revelation/TlRevelationFilter.h"
#include "kelvra/KelvraImage.h"
#include "settings/dust/TlDustState.h"
#include "settings/small/TlRedEyeState.h"

#include <vector>

namespace {

// The line the build's own error text carries.
constexpr long kAtDustMapText = 4550;

bool DustProgress(int phase, int percent, void* /*context*/)
{
    return OnSaveProgress(phase, static_cast<signed char>(percent), kTlStageSecondWeight);
}

} // namespace

// A record without a map analyses the source first; no map afterwards is
// "Dust Map Error" (21), as is a map or tone mode the filter refuses.
bool CTlChainBuilder::AppendDust()
{
    if (!m_dust)
        return true;
    CDustFilter* filter = Make<CDustFilter>();
    if (filter == nullptr)
        return false;
    CTlDustState* record = m_params.dust;
    if (record->GetDustMap() == nullptr) {
        TlDustAnalysisRequest request;
        request.manager = m_manager;
        request.picture = m_params.image;
        request.tags = m_params.tags;
        request.plainLuminance = m_params.rawFlag;
        request.linearPicture = m_format == kTlMosaicFormat ? 1 : 0;
        request.progress = DustProgress;
        record->Analyze(request);
    }
    if (record->GetDustMap() == nullptr)
        return Fail(kTlChainDustFailed, IKelvraError::Add(nullptr, 0, kAtDustMapText, "Dust Map Error"));
    return Check(filter->SetDustMap(record->GetDustMap(), true), kTlChainDustFailed) &&
           Check(filter->SetToneMode(m_tableA != nullptr, true), kTlChainDustFailed) && Append(filter);
}

// The watcher stays on the filter until the release takes it off.
bool CTlChainBuilder::AppendRevelation()
{
    if (!m_revelation)
        return true;
    CRevelationFilter* filter = Make<CRevelationFilter>();
    if (filter == nullptr)
        return false;
    if (CTlFileSavingUtilities* watcher = GetCurrentFileWatcher()) {
        if (!Check(filter->AddWatcher(watcher)))
            return false;
        m_state.watched = filter;
        m_state.watcher = watcher;
        SetWatchedFilter(filter); // its progress records become the save's progress
    }
    const CTlRevelationState* record = m_params.revelation;
    return Check(filter->SetDataFormat(11, m_sourceBits, false, true)) &&
           Check(filter->SetParameters(record->first, record->third, record->second, true)) && Append(filter);
}

// The record's mode picks the region lists: automatic ones for mode 1, the
// manual ones for mode 2 with the automatic ones when the record keeps
// them. A set-up that fails leaves the result to the general error.
bool CTlChainBuilder::AppendRedEye()
{
    if (!m_redEye)
        return true;
    CRedEyeFilter* filter = Make<CRedEyeFilter>();
    if (filter == nullptr)
        return false;
    const CTlRedEyeState* record = m_params.redEye;
    filter->SetKeepAutomatic(record->flag != 0);
    if (!Check(filter->SetMode(record->value, true), 0))
        return false;
    bool loaded = true;
    if (record->value == CRedEyeFilter::kModeManual) {
        loaded = LoadRedEyeRegions(*filter, true, record->secondRegions);
        if (loaded && record->flag != 0)
            loaded = LoadRedEyeRegions(*filter, false, record->firstRegions);
    } else if (record->value == CRedEyeFilter::kModeAutomatic) {
        loaded = LoadRedEyeRegions(*filter, false, record->firstRegions);
    }
    return (loaded || Fail(0)) && Append(filter);
}
