#include "lib/TlLibraryState.h"

#include "watcher/TlFileSavingUtilities.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<IKelvraManager*> g_manager{nullptr};
std::atomic<bool> g_colourPathsReady{false};

std::mutex g_lock; // the watcher and the software tag
CTlFileSavingUtilities* g_watcher = nullptr;
std::string g_softwareTag;

} // namespace

void TlvQrfLib::SetGlobalManager(IKelvraManager* manager)
{
    g_manager = manager;
}

IKelvraManager* TlvQrfLib::GetGlobalManager()
{
    return g_manager;
}

CTlFileSavingUtilities* GetLibraryWatcher()
{
    const std::lock_guard<std::mutex> guard(g_lock);
    return g_watcher;
}

void SetLibraryWatcher(CTlFileSavingUtilities* watcher)
{
    CTlFileSavingUtilities* previous = nullptr;
    {
        const std::lock_guard<std::mutex> guard(g_lock);
        previous = g_watcher;
        g_watcher = watcher;
    }
    if (previous != watcher)
        delete previous;
}

bool AreColourPathsReady()
{
    return g_colourPathsReady;
}

void SetColourPathsReady(bool ready)
{
    g_colourPathsReady = ready;
}

std::string GetSoftwareTag()
{
    const std::lock_guard<std::mutex> guard(g_lock);
    return g_softwareTag;
}

std::string ExchangeSoftwareTag(const std::string& tag)
{
    const std::lock_guard<std::mutex> guard(g_lock);
    std::string previous = g_softwareTag;
    g_softwareTag = tag.substr(0, kSoftwareTagCapacity - 1);
    return previous;
}
