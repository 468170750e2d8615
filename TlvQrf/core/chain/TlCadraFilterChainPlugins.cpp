// The preview chain's plug-in filters: one per active image-editor plug-in
// of the settings, in their order, before the lost-detail display. The group
// is rebuilt only when the plug-ins or their parameter bytes changed, since
// a rebuilt filter runs its plug-in over the whole image again.
#include "chain/TlCadraFilterChain.h"

#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "kelvra/KelvraFilterChain.h"
#include "params/TlvParamSet.h"
#include "settings/plugins/TlPluginListState.h"

#include <new>

namespace {

bool IsActive(const CTlPluginState& entry)
{
    return !entry.IsEmpty() && entry.enabled != 0;
}

std::size_t CountActive(const CTlPluginListState* list)
{
    std::size_t count = 0;
    if (list != nullptr) {
        for (const CTlPluginState& entry : list->entries)
            count += IsActive(entry) ? 1 : 0;
    }
    return count;
}

// The library's plug-in hosts run filters as well as holding settings.
ITlFilterPluginHost* FilterHostOf(const CTlPluginState& entry)
{
    return dynamic_cast<ITlFilterPluginHost*>(entry.GetPlugin());
}

// The plug-in's parameter bytes; empty when they cannot be copied.
std::vector<unsigned char> ParameterCopy(const IPluginHost& plugin)
{
    std::vector<unsigned char> copy;
    try {
        copy.resize(plugin.GetParametersSize());
        if (!copy.empty() && plugin.GetParameters(copy.data(), copy.size()) != copy.size())
            copy.clear();
    } catch (const std::bad_alloc&) {
        copy.clear();
    }
    return copy;
}

bool SameParameters(const IPluginHost& plugin, const std::vector<unsigned char>& held)
{
    if (plugin.GetParametersSize() != held.size())
        return false;
    return held.empty() || ParameterCopy(plugin) == held;
}

} // namespace

std::unique_ptr<CPluginHostFilter> CTlCadraFilterChain::CreatePluginFilter()
{
    return std::unique_ptr<CPluginHostFilter>(new (std::nothrow) CPluginHostFilter(m_manager));
}

bool CTlCadraFilterChain::SyncPluginFilters(const CTlvParamSet* params, IKelvraFilter* anchor)
{
    if (!m_built || params == nullptr)
        return false;
    const CTlPluginListState* list = CTlvParamSet::Present(params->pluginsFlag, params->plugins);
    const std::size_t active = CountActive(list);
    if (active == m_plugins.size() && (active == 0 || PluginFiltersMatch(*list)))
        return true;
    RemoveChainFilters(CPluginHostFilter::kId, nullptr, nullptr);
    DeletePluginFilters();
    // Entries that hold a plug-in but are switched off count as none.
    if (active == 0) {
        SendUpdateAll(FilterBefore(anchor));
        return false;
    }
    bool inserted = false;
    if (!InsertPluginFilters(*list, anchor, inserted))
        return false;
    SendUpdateAll(m_plugins.empty() ? anchor : m_plugins.front().filter);
    return inserted;
}

// The n-th held filter against the n-th active entry.
bool CTlCadraFilterChain::PluginFiltersMatch(const CTlPluginListState& list) const
{
    std::size_t held = 0;
    for (const CTlPluginState& entry : list.entries) {
        if (!IsActive(entry))
            continue;
        const SPluginEntry& filter = m_plugins[held++];
        if (filter.filter->GetPlugin() != FilterHostOf(entry) || !SameParameters(*entry.GetPlugin(), filter.data))
            return false;
    }
    return true;
}

bool CTlCadraFilterChain::InsertPluginFilters(const CTlPluginListState& list, IKelvraFilter* anchor,
                                              bool& inserted)
{
    long index = anchor != nullptr ? m_chain->IndexOf(anchor) : -1;
    for (const CTlPluginState& entry : list.entries) {
        if (!IsActive(entry))
            continue;
        CPluginHostFilter* filter = AddPluginFilter(entry);
        if (filter == nullptr)
            return false;
        if (IKelvraError* error = m_chain->InsertFilter(filter, index)) {
            IKelvraError::Release(error);
            continue;
        }
        inserted = true;
        // The next one stands after this one, still before the anchor.
        if (index >= 0)
            ++index;
    }
    return true;
}

// A new filter for `entry`, watched and held by the chain; null when it
// cannot be made.
CPluginHostFilter* CTlCadraFilterChain::AddPluginFilter(const CTlPluginState& entry)
{
    std::unique_ptr<CPluginHostFilter> filter;
    try {
        filter = CreatePluginFilter();
        if (!filter)
            return nullptr;
        IKelvraError::Release(filter->AddWatcher(this));
        IKelvraError::Release(filter->SetPlugin(FilterHostOf(entry), true));
        m_plugins.push_back({filter.get(), ParameterCopy(*entry.GetPlugin())});
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return filter.release();
}
