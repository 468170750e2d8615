// The preview chain's extra sharpening filters: one unsharp-mask filter per
// entry of the settings' sharpening list, beyond the two standard
// sharpening slots, standing before the output colour stage. The filters
// are kept when the list shrinks and reused when it grows again; only the
// tear-down deletes them.
#include "chain/TlCadraFilterChain.h"

#include "filtrix/UnsharpMaskFilter.h"
#include "kelvra/KelvraFilterChain.h"
#include "params/TlSharpeningPresets.h"
#include "params/TlUsmRangeBand.h"
#include "params/TlvParamSet.h"

#include <algorithm>
#include <new>

using namespace TlChainSlots;

namespace {

// Only this many entries sharpen; the room for their filters is fixed.
int SharpenEntryCount(const CTlUsmListState* list)
{
    if (list == nullptr)
        return 0;
    return int(std::min<std::size_t>(list->entries.size(), CTlCadraFilterChain::kMaxSharpenFilters));
}

// Sets `filter` up for `entry`; true when anything it sharpens with changed.
// The preview never sharpens wider than the image's own pixels would.
bool ConfigureSharpenFilter(CUnsharpMaskFilter& filter, const CTlUsmState& entry, double scale, double aspect)
{
    const UsmParams before = filter.GetParams();
    const bool bandChanged = SetUsmRangeBand(&filter, entry.RangeBand());
    const STlUsmValues values = UsmValuesFor(entry, std::min(SaneMultiplier(scale), 1.0), aspect);
    IKelvraError::Release(filter.SetThreshold(values.threshold, false));
    IKelvraError::Release(filter.SetRadii(values.radius, values.secondRadius, true));
    IKelvraError::Release(filter.SetPower(values.power, false));
    IKelvraError::Release(filter.SetMaskMethod(kUsmMaskGaussian, false));
    const UsmParams after = filter.GetParams();
    return bandChanged || after.radius != before.radius || after.secondRadius != before.secondRadius ||
           after.threshold != before.threshold || after.power != before.power;
}

} // namespace

std::unique_ptr<CUnsharpMaskFilter> CTlCadraFilterChain::CreateSharpenFilter()
{
    return std::unique_ptr<CUnsharpMaskFilter>(new (std::nothrow) CUnsharpMaskFilter(m_manager));
}

CUnsharpMaskFilter* CTlCadraFilterChain::GetSharpenFilter(int position) const
{
    if (position < 0 || position >= m_sharpenCount)
        return nullptr;
    return m_sharpenFilters[std::size_t(position)];
}

bool CTlCadraFilterChain::SyncSharpenFilters(const CTlvParamSet* params, double scale, IKelvraFilter* anchor,
                                             double aspect)
{
    if (!m_built || params == nullptr)
        return false;
    const CTlUsmListState* list = CTlvParamSet::Present(params->sharpeningListFlag, params->sharpeningList);
    const int wanted = SharpenEntryCount(list);
    bool inserted = false;
    bool changed = false;
    if (CountChainFilters(CUnsharpMaskFilter::kTag, GetSlot(kFirstUsm), GetSlot(kSecondUsm)) != wanted) {
        inserted = InsertSharpenFilters(wanted, anchor);
        changed = true;
    }
    CUnsharpMaskFilter* first = nullptr;
    for (int i = 0; i < wanted; ++i) {
        CUnsharpMaskFilter* filter = GetSharpenFilter(i);
        if (filter == nullptr)
            continue;
        first = first != nullptr ? first : filter;
        if (ConfigureSharpenFilter(*filter, list->entries[std::size_t(i)], scale, aspect))
            changed = true;
    }
    if (changed) {
        IKelvraDataSource* from = first;
        if (from == nullptr && anchor != nullptr)
            from = GetSlot(kSecondUsm);
        SendUpdateAll(from);
    }
    return inserted;
}

// Takes the extras out of the chain and puts the first `wanted` back, in
// list order, before `anchor`.
bool CTlCadraFilterChain::InsertSharpenFilters(int wanted, IKelvraFilter* anchor)
{
    RemoveChainFilters(CUnsharpMaskFilter::kTag, GetSlot(kFirstUsm), GetSlot(kSecondUsm));
    long index = anchor != nullptr ? m_chain->IndexOf(anchor) : -1;
    bool inserted = false;
    for (int i = 0; i < wanted; ++i) {
        CUnsharpMaskFilter* filter = ProvideSharpenFilter(i);
        if (filter == nullptr)
            continue;
        if (IKelvraError* error = m_chain->InsertFilter(filter, index)) {
            IKelvraError::Release(error);
            continue;
        }
        inserted = true;
        if (index >= 0)
            ++index;
    }
    return inserted;
}

// A position whose filter could not be made stays empty until it is asked
// for again.
CUnsharpMaskFilter* CTlCadraFilterChain::ProvideSharpenFilter(int position)
{
    CUnsharpMaskFilter*& slot = m_sharpenFilters[std::size_t(position)];
    m_sharpenCount = std::max(m_sharpenCount, position + 1);
    if (slot != nullptr)
        return slot;
    std::unique_ptr<CUnsharpMaskFilter> filter;
    try {
        filter = CreateSharpenFilter();
    } catch (const std::bad_alloc&) {
    }
    if (!filter)
        return nullptr;
    IKelvraError::Release(filter->SetCacheUsage(0));
    IKelvraError::Release(filter->SetAffectNoise(false, false));
    slot = filter.release();
    return slot;
}
