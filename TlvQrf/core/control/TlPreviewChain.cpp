#include "control/TlPreviewChain.h"

#include <atomic>

namespace {
std::atomic<TlPreviewChainFactory> g_factory{nullptr};
}

TlPreviewChainFactory SetPreviewChainFactory(TlPreviewChainFactory factory)
{
    return g_factory.exchange(factory);
}

TlPreviewChainFactory GetPreviewChainFactory()
{
    return g_factory.load();
}
