// The preview chain's build, tear-down and display connection. Every failed
// build step tears the chain down, so that the next request builds it anew.
#include "chain/TlCadraFilterChain.h"

#include "colour/TlWorkingProfiles.h"
#include "filters/lch/TlFltLch.h"
#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "filtrix/KelvraFilterBase.h"
#include "filtrix/KelvraFilterLut.h"
#include "filtrix/KelvraFilterScale.h"
#include "filtrix/UnsharpMaskFilter.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraManager.h"
#include "params/TlToneLuts.h"

#include <cstdio>
#include <new>

using namespace TlChainSlots;

int CTlCadraFilterChain::Build(IKelvraManager* manager, IKelvraDataSource* source,
                               IKelvraDataDestination* destination)
{
    return BuildPreviewChain(manager, source, destination);
}

int CTlCadraFilterChain::BuildPreviewChain(IKelvraManager* manager, IKelvraDataSource* source,
                                           IKelvraDataDestination* destination)
{
    if (m_built)
        return kAlreadyBuilt;
    if (manager == nullptr || source == nullptr)
        return kNoManagerOrSource;
    IKelvraError::Release(TakeFailure());
    if (!m_slots) {
        m_slots.reset(new (std::nothrow) SlotTable());
        if (!m_slots)
            return kCannotCreate;
    }
    m_manager = manager;
    m_source = source;
    m_monitorProfile.Set(GetWorkingProfile(kTlMonitorWorkingProfile).c_str());
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = source->GetColorSpace(&format)) {
        // The slot table stays: nothing was made in it yet.
        KeepFailure(IKelvraError::AddWorker(IKelvraError::Add(nullptr, 0, __LINE__,
                                                               "the preview chain could not read the source's "
                                                               "pixel format"),
                                            0, __LINE__, error));
        return kNoColourSpace;
    }
    int code = CreateSlotFilters();
    if (code == kBuilt) {
        ApplyCacheUsage();
        code = SetInitialTables();
    }
    if (code == kBuilt)
        code = SetUpSlots();
    if (code == kBuilt)
        code = MakeFilterChain();
    if (code == kBuilt)
        code = ConnectSourceAndDestination(destination);
    if (code == kBuilt)
        m_built = true;
    return code;
}

std::unique_ptr<CKelvraFilterBase> CTlCadraFilterChain::CreateSlotFilter(int slot)
{
    return MakeSlotFilter(slot, m_manager, m_mode, m_scaleMethod);
}

// The first filter that cannot be made ends the creation; every slot tried
// must then hold its filter.
int CTlCadraFilterChain::CreateSlotFilters()
{
    const std::vector<int> order = CreationOrder(m_mode);
    for (int slot : order) {
        std::unique_ptr<CKelvraFilterBase> filter;
        try {
            filter = CreateSlotFilter(slot);
        } catch (const std::bad_alloc&) {
        }
        if (!filter)
            break;
        (*m_slots)[std::size_t(slot)] = std::move(filter);
    }
    for (int slot : order) {
        if (GetSlot(slot) == nullptr)
            return FailWith(nullptr, kCannotCreate, slot);
    }
    return kBuilt;
}

// The chain starts from the square law on the linear stages and the root
// law after them.
int CTlCadraFilterChain::SetInitialTables()
{
    const std::uint16_t* square = GetSquareTable12();
    const std::uint16_t* root = GetRootTable12();
    const std::uint16_t* squares[3] = {square, square, square};
    const std::uint16_t* roots[3] = {root, root, root};
    const struct {
        int slot;
        const std::uint16_t* const* tables;
    } initial[] = {{kInitialLut, squares}, {kSquareLut, squares}, {kRootLut, roots}};
    for (const auto& entry : initial) {
        CKelvraFilterLut* lut = SlotAs<CKelvraFilterLut>(entry.slot);
        if (lut == nullptr)
            continue;
        if (IKelvraError* error = lut->SetLUT(entry.tables, 12, 16, 3, true))
            return FailWith(error, kCannotInitialise, entry.slot);
    }
    return kBuilt;
}

int CTlCadraFilterChain::SetUpSlots()
{
    if (CFltLch* lch = SlotAs<CFltLch>(kLch)) {
        IKelvraError* error = lch->Enable(false, true);
        if (error == nullptr)
            error = lch->SetLuts(nullptr, 0, 0, 0, true);
        if (error != nullptr)
            return FailWith(error, kCannotInitialise, kLch);
    }
    for (int slot = kFirstScale; slot <= kAreaScale; ++slot) {
        if (CKelvraFilterScale* scale = SlotAs<CKelvraFilterScale>(slot)) {
            if (IKelvraError* error = scale->SetScale(1.0, true))
                return FailWith(error, kCannotInitialise, slot);
        }
    }
    if (CKelvraFilterLut* lut = SlotAs<CKelvraFilterLut>(kFixedToneLut)) {
        if (!SetFixedToneLut(lut))
            return FailWith(nullptr, kCannotInitialise, kFixedToneLut);
    }
    if (CKelvraFilterBase* revelation = GetSlot(kRevelation)) {
        if (IKelvraError* error = revelation->AddWatcher(this))
            return FailWith(error, kCannotInitialise, kRevelation);
    }
    return kBuilt;
}

int CTlCadraFilterChain::MakeFilterChain()
{
    if (IKelvraError* error = m_manager->CreateFilterChain(&m_chain))
        return FailWith(error, kCannotInitialise);
    if (m_chain == nullptr)
        return FailWith(nullptr, kCannotInitialise);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (CKelvraFilterBase* filter = GetSlot(slot)) {
            if (IKelvraError* error = filter->Enable(false, true))
                return FailWith(error, kCannotInitialise, slot);
        }
    }
    if (CKelvraFilterBase* channelOrder = GetSlot(kChannelOrder))
        IKelvraError::Release(channelOrder->Enable(m_channelOrder, true));
    for (int slot : ChainOrder(m_mode)) {
        CKelvraFilterBase* filter = GetSlot(slot);
        if (filter == nullptr)
            continue;
        if (IKelvraError* error = m_chain->InsertFilter(filter, -1))
            return FailWith(error, kCannotInitialise, slot);
    }
    return kBuilt;
}

int CTlCadraFilterChain::ConnectSourceAndDestination(IKelvraDataDestination* destination)
{
    IKelvraError* error = KelvraDataConnect(m_source, m_chain);
    if (error == nullptr && destination != nullptr)
        error = KelvraDataConnect(m_chain, destination);
    return error != nullptr ? FailWith(error, kCannotConnect) : kBuilt;
}

int CTlCadraFilterChain::FailWith(IKelvraError* error, int code, int slot)
{
    char text[160];
    if (const TlStageOrder::STlStageEntry* entry = TlStageOrder::PreviewSlotEntry(slot))
        std::snprintf(text, sizeof text, "the preview chain failed at %s (%d)", entry->name, code);
    else
        std::snprintf(text, sizeof text, "the preview chain failed (%d)", code);
    KeepFailure(IKelvraError::AddWorker(IKelvraError::Add(nullptr, 0, __LINE__, text), 0, __LINE__, error));
    ReleaseChain();
    return code;
}

void CTlCadraFilterChain::KeepFailure(IKelvraError* failure)
{
    if (m_failure == nullptr)
        m_failure = failure;
    else
        IKelvraError::Release(failure);
}

IKelvraError* CTlCadraFilterChain::TakeFailure()
{
    IKelvraError* failure = m_failure;
    m_failure = nullptr;
    return failure;
}

int CTlCadraFilterChain::ConnectDestination(IKelvraDataDestination* destination)
{
    return ChangeDestinationLink(destination, KelvraDataConnect);
}

int CTlCadraFilterChain::DisconnectDestination(IKelvraDataDestination* destination)
{
    return ChangeDestinationLink(destination, KelvraDataDisconnect);
}

// A display link that cannot be changed leaves no half-working chain: the
// next request builds it anew.
int CTlCadraFilterChain::ChangeDestinationLink(IKelvraDataDestination* destination, LinkOperation change)
{
    if (destination == nullptr)
        return 0;
    if (m_chain == nullptr)
        return FailWith(nullptr, kCannotConnect);
    if (IKelvraError* error = change(m_chain, destination))
        return FailWith(error, kCannotConnect);
    return 0;
}

void CTlCadraFilterChain::ReleaseChain()
{
    StopWatching(kCropHistogram);
    StopWatching(kRevelation);
    if (m_chain != nullptr) {
        m_chain->Release();
        m_chain = nullptr;
    }
    m_slots.reset();
    DeleteOutsideFilters();
    m_built = false;
    m_manager = nullptr;
    m_histogramReady = false;
    m_histogramCompanion = false;
}

void CTlCadraFilterChain::StopWatching(int slot)
{
    if (CKelvraFilterBase* filter = GetSlot(slot))
        IKelvraError::Release(filter->RemoveWatcher(this));
}

void CTlCadraFilterChain::DeleteOutsideFilters()
{
    for (int i = 0; i < m_sharpenCount && i < kMaxSharpenFilters; ++i) {
        delete m_sharpenFilters[std::size_t(i)];
        m_sharpenFilters[std::size_t(i)] = nullptr;
    }
    m_sharpenCount = 0;
    DeletePluginFilters();
}

void CTlCadraFilterChain::DeletePluginFilters()
{
    for (SPluginEntry& entry : m_plugins) {
        IKelvraError::Release(entry.filter->RemoveWatcher(this));
        delete entry.filter;
    }
    m_plugins.clear();
}
