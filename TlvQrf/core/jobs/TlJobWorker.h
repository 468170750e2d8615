// The worker thread of the job queue: takes and runs the queue's jobs one
// after another, until none waits or it is told to stop after the current
// one. Always auto-delete: the thread destroys it when the run has ended.
#pragma once

#include "jobs/TlWorkerThread.h"

#include <memory>

class CJob;
class CJobQueue;
class CRunEnd;

class CJobWorker : public CWorkerThread {
public:
    explicit CJobWorker(CJobQueue* queue);
    ~CJobWorker() override;

    unsigned long Run() override;
    bool StopAfterCurrent() override;

private:
    friend class CJobQueue;

    bool IsStopRequested() const;

    CJob* m_current = nullptr;
    CJobQueue* m_queue;
    bool m_stopAfterCurrent = false;
    // Signalled once the run touches its queue no more; given by the queue.
    std::shared_ptr<CRunEnd> m_runEnd;
};
