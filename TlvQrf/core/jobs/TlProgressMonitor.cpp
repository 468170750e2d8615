#include "jobs/TlProgressMonitor.h"

// ---- CProgressMonitor

CProgressMonitor::CProgressMonitor() = default;

CProgressMonitor::~CProgressMonitor() = default;

void CProgressMonitor::Reset(long position, long total)
{
    SetAbortFlag(false);
    OnReset(position, total);
}

void CProgressMonitor::Notify()
{
    OnNotify();
}

bool CProgressMonitor::Progress(long step, long total)
{
    const bool abort = OnProgress(step, total);
    SetAbortFlag(abort);
    return abort;
}

bool CProgressMonitor::IsEnabled() const
{
    const Tl::CSyncLock guard(m_lock);
    return m_enabled;
}

void CProgressMonitor::SetEnabled(bool enabled)
{
    // The hook may park this thread; it runs outside the lock.
    if (IsEnabled() != enabled)
        OnEnabledChanged(enabled);
    StoreEnabled(enabled);
}

bool CProgressMonitor::IsAborted() const
{
    const Tl::CSyncLock guard(m_lock);
    return m_abort;
}

void CProgressMonitor::SetAbortFlag(bool abort)
{
    const Tl::CSyncLock guard(m_lock);
    m_abort = abort;
}

void CProgressMonitor::StoreEnabled(bool enabled)
{
    const Tl::CSyncLock guard(m_lock);
    m_enabled = enabled;
}

Tl::CSyncCritical& CProgressMonitor::SyncObject() const
{
    return m_lock;
}

bool CProgressMonitor::WaitUntil(Tl::CSyncEvent& event, const std::function<bool()>& settled) const
{
    bool consumed = false;
    for (;;) {
        {
            const Tl::CSyncLock guard(m_lock);
            if (settled()) {
                // Passed on: another thread may wait for the same change
                // (a filter thread and the worker can both be parked).
                if (consumed)
                    event.Signal();
                return true;
            }
        }
        if (!event.Wait())
            return false;
        consumed = true;
    }
}

// ---- CPausableMonitor

void CPausableMonitor::Abort()
{
    SetAbortFlag(true);
}

void CPausableMonitor::SetPaused()
{
    SetPausedFlag(true);
}

void CPausableMonitor::Resume()
{
    const Tl::CSyncLock guard(SyncObject());
    if (m_paused) {
        m_paused = false;
        ReleaseWorker();
        if (m_pauseWaiter)
            m_acknowledge.Signal();
    }
    m_pauseWaiter = false;
}

bool CPausableMonitor::WaitPaused()
{
    const bool usable = WaitUntil(m_acknowledge, [this] {
        m_pauseWaiter = !IsPauseSettled();
        return !m_pauseWaiter;
    });
    const Tl::CSyncLock guard(SyncObject());
    m_pauseWaiter = false;
    return usable;
}

bool CPausableMonitor::PausePoint()
{
    unsigned long release = 0;
    {
        const Tl::CSyncLock guard(SyncObject());
        if (!BeginPark(&release))
            return true;
    }
    m_acknowledge.Signal();
    return AwaitRelease(release);
}

bool CPausableMonitor::IsPaused() const
{
    const Tl::CSyncLock guard(SyncObject());
    return m_paused;
}

bool CPausableMonitor::Progress(long step, long total)
{
    if (IsAborted())
        return true;
    PausePoint();
    const bool abort = OnProgress(step, total);
    SetAbortFlag(abort);
    return abort;
}

bool CPausableMonitor::HoldsWorker() const
{
    return m_paused;
}

bool CPausableMonitor::IsPauseSettled() const
{
    return !m_paused || m_parked;
}

bool CPausableMonitor::BeginPark(unsigned long* release)
{
    if (!HoldsWorker())
        return false;
    m_parked = true;
    *release = m_releases;
    return true;
}

bool CPausableMonitor::AwaitRelease(unsigned long release)
{
    if (WaitUntil(m_resume, [&] { return m_releases != release; }))
        return true;
    const Tl::CSyncLock guard(SyncObject());
    m_parked = false;
    return false;
}

void CPausableMonitor::ReleaseWorker()
{
    ++m_releases;
    m_parked = false;
    m_resume.Signal();
}

void CPausableMonitor::SetPausedFlag(bool paused)
{
    const Tl::CSyncLock guard(SyncObject());
    m_paused = paused;
}

bool CPausableMonitor::IsPauseWaiter() const
{
    const Tl::CSyncLock guard(SyncObject());
    return m_pauseWaiter;
}

bool CPausableMonitor::IsParked() const
{
    const Tl::CSyncLock guard(SyncObject());
    return m_parked;
}

Tl::CSyncEvent& CPausableMonitor::AcknowledgeEvent()
{
    return m_acknowledge;
}
