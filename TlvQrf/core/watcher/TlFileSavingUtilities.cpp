#include "watcher/TlFileSavingUtilities.h"

#include "frame/TlSaveProgress.h"

#include <atomic>
#include <new>

namespace {
std::atomic<CTlFileSavingUtilities*> g_current{nullptr};
}

CTlFileSavingUtilities* GetCurrentFileWatcher()
{
    return g_current.load();
}

CTlFileSavingUtilities* ExchangeCurrentFileWatcher(CTlFileSavingUtilities* watcher)
{
    return g_current.exchange(watcher);
}

CTlFileSavingUtilities::CTlFileSavingUtilities()
{
    g_current = this;
    CreateEngineManager();
    for (auto& cache : m_gamma) {
        cache.reset(new (std::nothrow) std::uint16_t[kGammaCacheEntries]);
        if (cache)
            cache[0] = kGammaCacheUnfilled;
    }
}

CTlFileSavingUtilities::~CTlFileSavingUtilities()
{
    // The references go before the manager, which destroys their engines.
    for (auto& engine : m_colourEngines)
        engine.Release();
    DestroyEngineManager();
    CTlFileSavingUtilities* self = this;
    g_current.compare_exchange_strong(self, nullptr);
}

int CTlFileSavingUtilities::OnNotify(IKelvraFilter* filter, long code, void* data)
{
    ReportFilterPhase(filter, code, static_cast<const TlFilterPhase*>(data));
    return 0;
}

const std::uint16_t* CTlFileSavingUtilities::FilledGammaCache(int which, GammaFill fill)
{
    std::uint16_t* cache = GammaCache(which);
    if (cache == nullptr || fill == nullptr)
        return cache;
    const Tl::CSyncLock guard(m_gammaLock);
    if (cache[0] == kGammaCacheUnfilled)
        fill(cache);
    return cache;
}
