#include "jobs/TlGlobalJobQueue.h"

#include "infra/TlSync.h"
#include "jobs/TlJobQueue.h"

namespace {

// Plain values, still readable while the library's statics are destroyed.
CJobQueue* g_queue = nullptr;
bool g_destroyed = false;
TlJobQueueFactory g_factory = nullptr;

// Never destroyed, so that a late caller still finds a lock.
Tl::CSyncCritical& GlobalLock()
{
    static Tl::CSyncCritical* lock = new Tl::CSyncCritical();
    return *lock;
}

struct QueueUnloader {
    ~QueueUnloader() { DestroyJobQueue(); }
} g_unloader;

} // namespace

TlJobQueueFactory SetJobQueueFactory(TlJobQueueFactory factory)
{
    const Tl::CSyncLock guard(GlobalLock());
    const TlJobQueueFactory previous = g_factory;
    g_factory = factory;
    return previous;
}

CJobQueue* GetJobQueue()
{
    // Two first callers on two threads must not make two queues.
    const Tl::CSyncLock guard(GlobalLock());
    if (!g_queue && !g_destroyed && g_factory)
        g_queue = g_factory();
    return g_destroyed ? nullptr : g_queue;
}

void DestroyJobQueue()
{
    const Tl::CSyncLock guard(GlobalLock());
    delete g_queue;
    g_queue = nullptr;
    g_destroyed = true;
}
