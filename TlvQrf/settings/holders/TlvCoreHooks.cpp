#include "settings/holders/TlvCoreHooks.h"

#include "infra/TlProcessWide.h"

namespace {
TlProcessWide<TlvCoreHooks> g_hooks;
}

TlvCoreHooks SetTlvCoreHooks(const TlvCoreHooks& hooks)
{
    return g_hooks.Exchange(hooks);
}

TlvCoreHooks GetTlvCoreHooks()
{
    return g_hooks.Get();
}

CTlvParamSet* MakeTlvParamSet(CTlvSettingsHolder& holder, TlvParamSetKind kind)
{
    ITlvParamSetMaker* maker = GetTlvCoreHooks().paramSets;
    if (maker == nullptr)
        return nullptr;
    try {
        return maker->MakeParamSet(holder, kind);
    } catch (...) {
        // No exception leaves the settings model.
        return nullptr;
    }
}
