#include "settings/dust/TlDustEngineRegistry.h"

#include <atomic>

namespace {
std::atomic<IDustEngineFactory*> g_factory{nullptr};
}

IDustEngineFactory* SetDustEngineFactory(IDustEngineFactory* factory)
{
    return g_factory.exchange(factory);
}

IDustEngineFactory* GetDustEngineFactory()
{
    return g_factory.load();
}
