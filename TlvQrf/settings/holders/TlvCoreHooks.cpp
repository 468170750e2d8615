#include "settings/holders/TlvCoreHooks.h"

#include <mutex>

namespace {
std::mutex g_lock;
TlvCoreHooks g_hooks;
}

TlvCoreHooks SetTlvCoreHooks(const TlvCoreHooks& hooks)
{
    const std::lock_guard<std::mutex> guard(g_lock);
    const TlvCoreHooks previous = g_hooks;
    g_hooks = hooks;
    return previous;
}

TlvCoreHooks GetTlvCoreHooks()
{
    const std::lock_guard<std::mutex> guard(g_lock);
    return g_hooks;
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
