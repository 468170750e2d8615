#include "jobs/TlJobWorker.h"

#include "jobs/TlJobQueue.h"
#include "jobs/TlRunEnd.h"

CJobWorker::CJobWorker(CJobQueue* queue) : m_queue(queue) {}

CJobWorker::~CJobWorker() = default;

bool CJobWorker::StopAfterCurrent()
{
    const Tl::CSyncLock guard(m_queue->SyncObject());
    m_stopAfterCurrent = true;
    return true;
}

bool CJobWorker::IsStopRequested() const
{
    const Tl::CSyncLock guard(m_queue->SyncObject());
    return m_stopAfterCurrent;
}

unsigned long CJobWorker::Run()
{
    CJobQueue& queue = *m_queue;
    if (queue.IsPaused())
        queue.PausePoint();
    int succeeded = 0;
    int failed = 0;
    // A run cancelled before its first job takes none.
    CJob* job = nullptr;
    if (IsStopRequested())
        failed += queue.GetJobCount();
    else
        job = queue.TakeJobForWorker(*this);
    while (job) {
        const long result = job->Run();
        queue.OnJobDone(result, job);
        queue.EndJobForWorker(*this);
        if (queue.IsPaused() && queue.GetJobCount() > 0)
            queue.PausePoint();
        if (result == 0)
            ++succeeded;
        if (IsStopRequested()) {
            failed += (result != 0) + queue.GetJobCount();
            break;
        }
        job = queue.TakeJobForWorker(*this);
        failed += result != 0;
    }
    if (queue.IsPaused())
        queue.AcknowledgeEvent().Signal();
    queue.FinishRun(*this, IsStopRequested(), succeeded, failed);
    // The last word: the queue may be destroyed from here on.
    if (m_runEnd)
        m_runEnd->Signal();
    return 0;
}
