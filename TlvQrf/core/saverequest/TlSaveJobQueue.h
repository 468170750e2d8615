// The library's concrete job queue: it passes progress to the running save
// task, hands a direct-image save its destination, and writes each task's
// result into the host's record when the task ends.
#pragma once

#include "jobs/TlJobQueue.h"

#include <cstdint>

class CSaveTask;

class CSaveJobQueue : public CJobQueue {
public:
    // Waits for the worker, which calls the hooks until its run has ended.
    ~CSaveJobQueue() override;

    void OnLoadStarted(CJob* job) override;
    void OnSaveStarted(CJob* job) override;
    void OnLoadFinished(long result, CJob* job) override;
    void OnJobDone(long result, CJob* job) override;
    void OnRunFinished(bool stopped, int succeeded, int failed) override;
    void FreeObject(void* object) override;
    void OnJobAdded(CJob* job, int position) override;
    ITlSaveContext* NewSaveContext() override;

    // Host: the running task's progress; false when none runs.
    bool ReadProgress(long& done, long& total);

protected:
    void OnReset(long position, long total) override;
    void OnNotify() override;
    // Stores the progress in the running task; answers the abort flag.
    bool OnProgress(long done, long total) override;

private:
    std::uint32_t ResultFor(long result, CSaveTask& task);

    // The job OnJobDone released: the queue still names it as current until
    // the worker moves on, so the host must not read it. Under the queue's
    // lock.
    CJob* m_releasedJob = nullptr;
};

// The factory the library registers with SetJobQueueFactory.
CJobQueue* NewSaveJobQueue();

// Set while a direct-image save runs; the host's Abort waits for it.
bool IsDirectImageBusy();
