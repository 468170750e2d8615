#include "load/TlImageSaveHook.h"

#include <atomic>

namespace {

int NoSave(const STlImageSave&)
{
    return kTlImageSaveUnavailable;
}

// Installed on one thread while jobs may run on the worker.
std::atomic<TlImageSaveHook> g_hook{&NoSave};

} // namespace

TlImageSaveHook SetImageSaveHook(TlImageSaveHook hook)
{
    return g_hook.exchange(hook != nullptr ? hook : &NoSave);
}

int RunImageSave(const STlImageSave& save)
{
    return g_hook.load()(save);
}
