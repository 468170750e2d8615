// The job queue: jobs wait in priority order and one worker thread at a
// time runs them. Other threads pause the worker at its next progress report
// (or between jobs), resume it, abort the running job, remove queued jobs or
// cancel the run. The concrete queue supplies the hooks.
//
// One recursive lock (the monitor's) guards the queue, its state, the worker
// pointer, the save context and every flag. No thread waits for an event
// while it holds that lock, so the worker can always take it; pausing and
// cancelling threads are serialised by a lock of their own, which the worker
// never takes. Each wait looks at the state it waits for, so a leftover
// signal of an event never ends a wait early.
#pragma once

#include "jobs/TlJob.h"
#include "jobs/TlProgressMonitor.h"
#include "jobs/TlSaveContextSlot.h"

#include <deque>
#include <memory>
#include <vector>

class CJobWorker;
class CRunEnd;

class CJobQueue : public CPausableMonitor {
public:
    enum State { kStateIdle = 0, kStateWaiting = 1, kStateRunning = 2 };
    // AddJob's answers.
    enum { kAdded = 0, kRefused = 3 };
    // Start's answers.
    enum { kStarted = 0, kNoThread = 1, kNoMemory = 2 };
    // Result that OnJobDone reports for a job removed from the queue.
    static constexpr long kRemovedResult = 8;

    CJobQueue();
    // Waits for its worker (see WaitForWorker).
    ~CJobQueue() override;

    // A job runs or waits.
    bool IsBusy();
    // 0 when queued; 3 when refused (no job, SetQueue failed, unknown kind).
    int AddJob(CJob* job);
    // Pops the front job; null when none waits.
    CJob* TakeNextJob();
    // A queued job is taken out and reported done with result 8; the running
    // job is only aborted.
    bool RemoveJob(CJob* job);
    int Start();
    // Returns once the worker is held: stopped at a progress report of the
    // running job, or between jobs, or no job runs.
    int Pause();
    // Stops the run after the running job (aborted); with no worker, the
    // queued jobs are reported failed and released.
    int Cancel();
    int GetState() const;
    bool IsIdle() const;
    bool IsRunning() const;
    CJob* GetCurrentJob() const;
    int GetJobCount() const;
    // False when no job runs.
    bool AbortCurrent();
    // The running job first, then the queued jobs from the front: the first
    // whose target path equals `target` (case matters).
    CJob* FindJob(const char* target);

    // Hooks of the concrete queue.
    virtual void OnLoadStarted(CJob* job) = 0;
    virtual void OnSaveStarted(CJob* job) = 0;
    virtual void OnLoadFinished(long result, CJob* job) = 0;
    virtual void OnJobDone(long result, CJob* job) = 0;
    virtual void OnRunFinished(bool stopped, int succeeded, int failed) = 0;
    virtual void FreeObject(void* object) = 0;
    virtual void OnJobAdded(CJob* job, int position) = 0;
    // Makes the object that parks the save state while the queue is paused.
    virtual ITlSaveContext* NewSaveContext() = 0;

    // Clear the abort flag, then the load or save hook. An abort asked for
    // `job` itself (AbortCurrent) stays, as it does through every progress
    // phase the job begins (Reset), until the job has ended.
    void BeginLoadStep(CJob* job);
    void BeginSaveStep(CJob* job);
    void Reset(long position, long total) override;

    void CreateSaveContext();
    void DeleteSaveContext();
    bool HasSaveContext() const;
    // Releases every queued job (front first) and empties the queue.
    void ClearJobs();
    int AddJobs(CJobBatch& batch);

protected:
    void OnEnabledChanged(bool enabled) override;
    bool HoldsWorker() const override;
    bool IsPauseSettled() const override;

    // Makes the worker of a run; null when there is no memory.
    virtual CJobWorker* NewWorker();

    // Returns once no worker touches the queue any more. A worker that still
    // runs ends its run after its current job (a held one is let go first);
    // the queued jobs stay queued. The worker calls the hooks until its run
    // ends, so a concrete queue calls this first in its own destructor.
    void WaitForWorker();

private:
    friend class CJobWorker;

    int InsertByPriority(CJob* job);
    bool WaitUntilEnabled();
    void WaitForRunEnd(unsigned long runsBefore);
    CJob* CurrentJobLocked() const;
    // Sets the abort flag when `job` is the one AbortCurrent aborted, else
    // clears it.
    void KeepAbortOf(CJob* job);

    // Steps of the worker's run.
    CJob* TakeJobForWorker(CJobWorker& worker);
    void EndJobForWorker(CJobWorker& worker);
    void FinishRun(CJobWorker& worker, bool stopped, int succeeded, int failed);
    // Gives `worker` the end of its run to signal; false when there is no
    // memory for it.
    bool TrackRun(CJobWorker& worker);

    bool m_waitForEnable = false;
    int m_state = kStateIdle;
    std::deque<CJob*> m_jobs;
    CJobWorker* m_worker = nullptr;
    ITlSaveContext* m_saveContext = nullptr;
    // Runs ended so far; what Cancel waits for.
    unsigned long m_finishedRuns = 0;
    // The running job that AbortCurrent aborted; null once it has ended.
    CJob* m_abortedJob = nullptr;
    // The ends of the runs whose workers may still touch the queue (a run
    // that cleared the worker pointer may still be ending when the next one
    // starts).
    std::vector<std::shared_ptr<CRunEnd>> m_runEnds;
    Tl::CSyncCritical m_pauseLock;
    Tl::CSyncEvent m_finished;
    Tl::CSyncEvent m_enable;
};
