// The preview update's entry and exit: the process-wide busy flag and the
// pending masks, the values worked out at the start, the dispatch by mode,
// and the notices that make everything downstream recompute once.
#include "chain/TlPreviewUpdate.h"

#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "filtrix/KelvraFilterBase.h"
#include "infra/TlSync.h"
#include "kelvra/KelvraData.h"
#include "kelvra/KelvraFilterChain.h"
#include "params/TlvParamSet.h"
#include "raw/TlRawFormat.h"

#include <windows.h>

#include <cstdio>

#include <cstdio>
#include <new>

using namespace TlChainSlots;

namespace {

constexpr KelvraTag kUpdateTag = KelvraFourCC('C', 'd', 'r', 'a');
constexpr double kStretchedPixelAspect = 327.0 / 164.0;

struct SUpdateGate {
    bool busy = false;
    DWORD owner = 0;
};

// Never destroyed, so that a late caller still finds a lock.
Tl::CSyncCritical& UpdateLock()
{
    static Tl::CSyncCritical* lock = new Tl::CSyncCritical("TlPreviewUpdate");
    return *lock;
}

SUpdateGate& Gate()
{
    static SUpdateGate gate;
    return gate;
}

// Hands the development's steps of a two-source image to the chain's
// progress interface for the time of one update.
class CSourceProgress final : public ISigProcObserver {
public:
    explicit CSourceProgress(ITlChainProgress& progress) : m_progress(progress) {}
    void OnSigProcEvent(long code, CSigProcImage* /*image*/) override
    {
        if (code == -1 || code == -2)
            m_progress.ReportProgress(std::int32_t(code), 0);
    }
    int OnSigProcProgress(long done, long total) override
    {
        m_progress.ReportProgress(std::int32_t(done), std::int32_t(total));
        return 1;
    }

private:
    ITlChainProgress& m_progress;
};

// Puts the source's previous observer back on every way out of the update.
class CObserverSwap {
public:
    CObserverSwap(CSigProcImage* image, ISigProcObserver* observer) : m_image(image)
    {
        if (m_image == nullptr)
            return;
        m_previous = m_image->GetObserver();
        m_image->SetObserver(observer);
    }
    ~CObserverSwap()
    {
        if (m_image != nullptr)
            m_image->SetObserver(m_previous);
    }
    CObserverSwap(const CObserverSwap&) = delete;
    CObserverSwap& operator=(const CObserverSwap&) = delete;

private:
    CSigProcImage* m_image;
    ISigProcObserver* m_previous = nullptr;
};

struct SBusyRelease {
    SBusyRelease() = default;
    SBusyRelease(const SBusyRelease&) = delete;
    SBusyRelease& operator=(const SBusyRelease&) = delete;
    ~SBusyRelease() { TlEndPreviewUpdate(); }
};

} // namespace

bool TlBeginPreviewUpdate(std::uint32_t changes, std::uint32_t& pending, std::uint32_t& merged)
{
    const Tl::CSyncLock guard(UpdateLock());
    SUpdateGate& gate = Gate();
    if (gate.busy) {
        pending |= changes;
        return false;
    }
    // What a refused call left behind runs now, with this call's changes.
    merged = changes | pending;
    pending = 0;
    gate.busy = true;
    gate.owner = GetCurrentThreadId();
    return true;
}

void TlEndPreviewUpdate()
{
    const Tl::CSyncLock guard(UpdateLock());
    Gate().busy = false;
    Gate().owner = 0;
}

bool TlIsPreviewUpdateRunningHere()
{
    const Tl::CSyncLock guard(UpdateLock());
    return Gate().busy && Gate().owner == GetCurrentThreadId();
}

int CTlCadraFilterChain::Update(CTlvParamSet& params, std::uint32_t changes, double viewScale, int grid,
                                void* progress)
{
    return UpdatePreviewChain(&params, changes, viewScale, grid != 0,
                              reinterpret_cast<TlChainProgressCallback>(progress));
}

int CTlCadraFilterChain::UpdatePreviewChain(CTlvParamSet* params, std::uint32_t changes, double viewScale,
                                            bool grid, TlChainProgressCallback progress)
{
    if (!m_built)
        return TlUpdateCode::kNotBuilt;
    if (params == nullptr)
        return TlUpdateCode::kNoParams;
    std::uint32_t merged = 0;
    {
        const Tl::CSyncLock guard(UpdateLock());
        m_viewScale = viewScale;
        m_grid = grid;
        if (!TlBeginPreviewUpdate(changes, m_pendingChanges, merged))
            return TlUpdateCode::kBusy;
    }
    // Whatever way the update leaves, the next one may run.
    const SBusyRelease release;
    m_progress = progress;
    STlUpdateContext context;
    context.params = params;
    context.changes = merged;
    context.viewScale = viewScale;
    // A failure an earlier run left is no longer news.
    IKelvraError::Release(TakeFailure());
    try {
        return CTlPreviewUpdate(*this, context).Run();
    } catch (const std::bad_alloc&) {
        return TlUpdateCode::kFilterFailed;
    }
}

std::uint32_t CTlCadraFilterChain::GetPendingChanges() const
{
    const Tl::CSyncLock guard(UpdateLock());
    return m_pendingChanges;
}

std::uint32_t CTlCadraFilterChain::GetReplayChanges() const
{
    if (TlIsPreviewUpdateRunningHere())
        return 0;
    return GetPendingChanges();
}

int CTlPreviewUpdate::Run()
{
    CTlvParamSet& params = *m_ctx.params;
    // The camera's multipliers and model code come from the image's tags.
    params.ReadImageTags();
    m_ctx.twoSource = params.rawFlag != 0 && params.IsSignalProcessingModel();
    m_ctx.rawTone = params.rawFlag != 0 && !m_ctx.twoSource;
    CSourceProgress sourceProgress(m_chain);
    CObserverSwap observer(m_ctx.twoSource ? dynamic_cast<CSigProcImage*>(params.image) : nullptr,
                           &sourceProgress);
    if (!PrepareRun())
        return m_ctx.code;
    const bool done = Mode() == 1 ? RunReducedMode() : RunFullMode();
    if (done)
        FinishRun();
    return m_ctx.code;
}

bool CTlPreviewUpdate::PrepareRun()
{
    CTlvParamSet& params = *m_ctx.params;
    params.NormalizeForModel();
    m_ctx.stretchedModel = params.rawFlag != 0 && params.modelCode == kTlScaledMosaicModel;
    m_ctx.aspect = m_ctx.stretchedModel ? kStretchedPixelAspect : 1.0;
    if (IKelvraError* error = m_chain.m_source->GetColorSpace(&m_ctx.format)) {
        IKelvraError::Release(error);
        m_ctx.code = TlUpdateCode::kNoColourSpace;
        return false;
    }
    m_ctx.mosaic = m_ctx.format == kKelvraRawMosaic;
    if (Mode() >= 2)
        m_ctx.reduction = CTlCadraFilterChain::GetSourceShrink(m_chain.m_source, params.tags);
    return true;
}

// One data notice from the filter nearest the source among those changed
// silently, then the plug-ins run again on what changed.
void CTlPreviewUpdate::FinishRun()
{
    IKelvraFilterChain* chain = m_chain.m_chain;
    IKelvraFilter* first = nullptr;
    long firstIndex = -1;
    for (IKelvraFilter* filter : m_ctx.silent) {
        const long index = chain != nullptr ? chain->IndexOf(filter) : -1;
        if (index < 0)
            continue;
        if (first == nullptr || index < firstIndex) {
            first = filter;
            firstIndex = index;
        }
    }
    if (first != nullptr)
        IKelvraError::Release(KelvraSendDataNotification(first, kKelvraNotifyUpdateAll, nullptr));
    for (const auto& entry : m_chain.m_plugins) {
        if (IKelvraError* error = entry.filter->RunPlugin(CPluginHostFilter::kOwnSources)) {
            IKelvraError::Release(error);
            break;
        }
    }
}

bool CTlPreviewUpdate::Check(IKelvraError* error, int code)
{
    return error == nullptr || Fail(code, nullptr, error);
}

// The text goes onto the failing step's error chain. The run's first
// failure stays on the chain object for its holder (the host sees it under
// the control's error); later ones are released.
bool CTlPreviewUpdate::Fail(int code, const char* text, IKelvraError* error)
{
    if (text != nullptr)
        error = IKelvraError::Add(error, kUpdateTag, __LINE__, text);
    if (m_ctx.code != TlUpdateCode::kDone) {
        IKelvraError::Release(error);
        return false;
    }
    m_ctx.code = code != TlUpdateCode::kDone ? code : TlUpdateCode::kFilterFailed;
    char failure[80];
    std::snprintf(failure, sizeof failure, "the preview update failed (%d)", m_ctx.code);
    m_chain.KeepFailure(
        IKelvraError::AddWorker(IKelvraError::Add(nullptr, kUpdateTag, __LINE__, failure), kUpdateTag, __LINE__, error));
    return false;
}

bool CTlPreviewUpdate::Enable(int slot, bool enabled)
{
    CKelvraFilterBase* filter = Slot(slot);
    return filter == nullptr || Check(filter->Enable(enabled, true));
}

bool CTlPreviewUpdate::EnableSilently(int slot, bool enabled)
{
    CKelvraFilterBase* filter = Slot(slot);
    if (filter == nullptr || filter->IsEnabled() == enabled)
        return true;
    if (!Check(filter->Enable(enabled, false)))
        return false;
    m_ctx.silent.push_back(filter);
    return true;
}

bool CTlPreviewUpdate::IsEnabled(int slot) const
{
    const CKelvraFilterBase* filter = Slot(slot);
    return filter != nullptr && filter->IsEnabled();
}
