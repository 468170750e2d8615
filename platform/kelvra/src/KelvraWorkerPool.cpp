// The process's worker pool. Threads are made on first need and then wait
// for work for the rest of the process; the pool is never destroyed, so the
// process's exit never waits on it nor runs destructors under its threads.
#include "kelvra/KelvraWorkers.h"

#include "kelvra/KelvraLock.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <thread>

namespace {

// One call of KelvraRunOnWorkers, on its caller's stack.
struct Job {
    const std::function<void()>* work;
    long helpersWanted;
    long helpersJoined = 0;
    long helpersActive = 0;
};

class CWorkerPool {
public:
    void Run(const std::function<void()>& work, long helpers)
    {
        Job job{&work, helpers};
        auto posted = m_jobs.end();
        if (helpers > 0) {
            std::lock_guard<CKelvraLock> guard(m_lock);
            try {
                StartThreads(helpers);
                posted = m_jobs.insert(m_jobs.end(), &job);
            } catch (...) {
                // No helpers to be had: the caller does it all.
            }
            m_wake.WakeAll();
        }
        work();
        if (posted == m_jobs.end())
            return;
        std::lock_guard<CKelvraLock> guard(m_lock);
        m_jobs.erase(posted); // no helper joins any more
        m_finished.Wait(m_lock, [&] { return job.helpersActive == 0; });
    }

private:
    // Holds m_lock. Throws what thread creation throws.
    void StartThreads(long wanted)
    {
        while (m_threads < wanted) {
            std::thread(&CWorkerPool::Serve, this).detach();
            ++m_threads;
        }
    }

    Job* OpenJob()
    {
        for (Job* job : m_jobs) {
            if (job->helpersJoined < job->helpersWanted)
                return job;
        }
        return nullptr;
    }

    void Serve()
    {
        std::unique_lock<CKelvraLock> guard(m_lock);
        for (;;) {
            Job* job = nullptr;
            m_wake.Wait(m_lock, [&] { return (job = OpenJob()) != nullptr; });
            ++job->helpersJoined;
            ++job->helpersActive;
            guard.unlock();
            (*job->work)();
            guard.lock();
            if (--job->helpersActive == 0)
                m_finished.WakeAll();
        }
    }

    CKelvraLock m_lock;
    CKelvraCondition m_wake;
    CKelvraCondition m_finished;
    std::list<Job*> m_jobs;
    long m_threads = 0;
};

std::atomic<long> g_threads{0};

CWorkerPool* Pool()
{
    static CWorkerPool* const pool = new CWorkerPool; // never deleted: see above
    return pool;
}

// How deep the calling thread is inside KelvraRunOnWorkers work, in a
// Win32 TLS slot (no thread_local: nothing to destroy at thread exit).
DWORD WorkDepthSlot()
{
    static const DWORD slot = TlsAlloc();
    return slot;
}

class CWorkMark {
public:
    CWorkMark() : m_slot(WorkDepthSlot())
    {
        if (m_slot == TLS_OUT_OF_INDEXES)
            return;
        m_depth = reinterpret_cast<std::uintptr_t>(TlsGetValue(m_slot));
        TlsSetValue(m_slot, reinterpret_cast<void*>(m_depth + 1));
    }
    ~CWorkMark()
    {
        if (m_slot != TLS_OUT_OF_INDEXES)
            TlsSetValue(m_slot, reinterpret_cast<void*>(m_depth));
    }
    CWorkMark(const CWorkMark&) = delete;
    CWorkMark& operator=(const CWorkMark&) = delete;

private:
    DWORD m_slot;
    std::uintptr_t m_depth = 0;
};

long Cores()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores ? long(cores) : 1;
}

} // namespace

void KelvraSetWorkerThreads(long threads)
{
    g_threads.store(threads > 0 ? threads : 0);
}

long KelvraGetWorkerThreads()
{
#ifdef KELVRA_CALLER_THREAD_ONLY
    // The image editor's plug-in links its own copy of the framework, and
    // the editor unloads its plug-ins: pool threads left in an unloaded
    // plug-in would run freed code. That copy works on the caller's thread.
    return 1;
#endif
    const long threads = g_threads.load();
    return threads > 0 ? threads : Cores();
}

void KelvraRunOnWorkers(const std::function<void()>& work)
{
    const std::function<void()> marked = [&work] {
        CWorkMark mark;
        work();
    };
    const long threads = KelvraGetWorkerThreads();
    if (threads <= 1) {
        marked();
        return;
    }
    Pool()->Run(marked, threads - 1);
}

bool KelvraOnWorker()
{
    const DWORD slot = WorkDepthSlot();
    return slot != TLS_OUT_OF_INDEXES && TlsGetValue(slot) != nullptr;
}
