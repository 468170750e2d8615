// Progress monitors of the job queue. A running job reports its progress
// through Progress; other threads abort it, or pause it at its next report
// and resume it. Every flag lives under the monitor's recursive lock, and no
// thread waits while it holds that lock.
#pragma once

#include "frame/TlSaveProgress.h"
#include "infra/TlSync.h"
#include "jobs/TlSyncEvent.h"

#include <functional>

class CProgressMonitor : public ITlSaveProgressSink {
public:
    CProgressMonitor();
    virtual ~CProgressMonitor();
    CProgressMonitor(const CProgressMonitor&) = delete;
    CProgressMonitor& operator=(const CProgressMonitor&) = delete;

    // Clears the abort flag, then OnReset.
    void Reset(long position, long total) override;
    void Notify() override;
    // Stores OnProgress's answer in the abort flag; true means stop.
    bool Progress(long step, long total) override;
    virtual bool IsEnabled() const;
    // OnEnabledChanged only when the value changes, then stores it.
    void SetEnabled(bool enabled) override;

    bool IsAborted() const;

protected:
    virtual void OnReset(long position, long total) = 0;
    virtual void OnNotify() = 0;
    virtual bool OnProgress(long step, long total) = 0;
    virtual void OnEnabledChanged(bool enabled) = 0;

    void SetAbortFlag(bool abort);
    // Stores the enabled flag without telling OnEnabledChanged.
    void StoreEnabled(bool enabled);
    // The lock that guards the flags (and, in the queue, the queue too).
    Tl::CSyncCritical& SyncObject() const;
    // Waits on `event` until `settled` (asked under the lock) holds. The
    // event only says that something changed, so a leftover signal costs one
    // more look and never ends the wait early; a signal that ended the wait
    // is passed on to the next waiter. False when the event is unusable.
    bool WaitUntil(Tl::CSyncEvent& event, const std::function<bool()>& settled) const;

private:
    mutable Tl::CSyncCritical m_lock;
    bool m_abort = false;
    bool m_enabled = true;
};

class CPausableMonitor : public CProgressMonitor {
public:
    CPausableMonitor() = default;

    void Abort();
    void SetPaused();
    // Clears the paused flag and lets a parked worker go on; a pauser that
    // waits for the acknowledgement returns too.
    void Resume();
    // Pausing thread: waits until the worker is held (see IsPauseSettled).
    // False only when the acknowledge event is unusable.
    bool WaitPaused();
    // Worker: parks while the monitor holds it, until a Resume. False only
    // when the resume event is unusable.
    bool PausePoint();
    bool IsPaused() const;
    // Running job: true at once when aborted; parks while paused; then
    // stores OnProgress's answer in the abort flag.
    bool Progress(long step, long total) override;

protected:
    // Under the lock. The default: the worker stays while paused.
    virtual bool HoldsWorker() const;
    // Under the lock: a pauser may stop waiting. The default: not paused
    // any more, or the worker is parked.
    virtual bool IsPauseSettled() const;

    // Under the lock: parks the worker when HoldsWorker. Answers whether it
    // parked, with the release it then waits for.
    bool BeginPark(unsigned long* release);
    // Outside the lock: waits until that release came.
    bool AwaitRelease(unsigned long release);
    // Under the lock: lets a parked worker go on, paused or not.
    void ReleaseWorker();
    void SetPausedFlag(bool paused);
    bool IsPauseWaiter() const;
    bool IsParked() const;
    Tl::CSyncEvent& AcknowledgeEvent();

private:
    bool m_paused = false;
    bool m_pauseWaiter = false;
    // Worker parked and not yet released.
    bool m_parked = false;
    // Counts releases, so that a stale signal of the resume event does not
    // let a parked worker go on.
    unsigned long m_releases = 0;
    Tl::CSyncEvent m_resume;
    Tl::CSyncEvent m_acknowledge;
};
