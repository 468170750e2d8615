#include "jobs/TlJobQueue.h"

#include "jobs/TlJobWorker.h"
#include "jobs/TlRunEnd.h"

#include <algorithm>
#include <cstring>
#include <new>

CJobQueue::CJobQueue() = default;

CJobQueue::~CJobQueue()
{
    // Queued jobs are not released here: the library destroys its queue
    // only when it is unloaded.
    WaitForWorker();
    DeleteSaveContext();
}

void CJobQueue::WaitForWorker()
{
    for (;;) {
        std::vector<std::shared_ptr<CRunEnd>> runs;
        {
            const Tl::CSyncLock guard(SyncObject());
            if (m_worker) {
                m_worker->m_stopAfterCurrent = true;
                if (IsPaused()) {
                    DeleteSaveContext();
                    Resume();
                }
            }
            runs.swap(m_runEnds);
        }
        if (runs.empty())
            return;
        // A run that ended meanwhile may have started another one.
        for (const auto& run : runs)
            run->Wait();
    }
}

bool CJobQueue::TrackRun(CJobWorker& worker)
{
    try {
        auto runEnd = std::make_shared<CRunEnd>();
        m_runEnds.erase(std::remove_if(m_runEnds.begin(), m_runEnds.end(),
                                       [](const std::shared_ptr<CRunEnd>& run) { return run->HasEnded(); }),
                        m_runEnds.end());
        m_runEnds.push_back(runEnd);
        worker.m_runEnd = std::move(runEnd);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// One look under the lock: asked in two, the worker could take the job in
// between, and a job about to run would read as finished.
bool CJobQueue::IsBusy()
{
    const Tl::CSyncLock guard(SyncObject());
    return CurrentJobLocked() != nullptr || !m_jobs.empty();
}

int CJobQueue::AddJob(CJob* job)
{
    if (!job || job->SetQueue(this) != 0)
        return kRefused;
    const int kind = job->GetKind();
    if (kind == CJob::kKindBatch) {
        auto* batch = dynamic_cast<CJobBatch*>(job);
        return batch ? AddJobs(*batch) : kRefused;
    }
    if (kind != CJob::kKindSingle && kind != CJob::kKindOther)
        return kRefused;
    const Tl::CSyncLock guard(SyncObject());
    OnJobAdded(job, InsertByPriority(job));
    if (m_state == kStateIdle)
        m_state = kStateWaiting;
    return kAdded;
}

int CJobQueue::AddJobs(CJobBatch& batch)
{
    const Tl::CSyncLock guard(SyncObject());
    for (CJob* job : batch.Jobs()) {
        job->SetQueue(this);
        m_jobs.push_back(job);
        OnJobAdded(job, int(m_jobs.size()) - 1);
    }
    // An empty batch leaves nothing waiting.
    if (m_state == kStateIdle && !m_jobs.empty())
        m_state = kStateWaiting;
    return kAdded;
}

int CJobQueue::InsertByPriority(CJob* job)
{
    const int priority = job->GetPriority();
    if (priority == 0 || m_jobs.empty()) {
        m_jobs.push_back(job);
        return int(m_jobs.size()) - 1;
    }
    // Before the first job of lower priority: equal priorities keep the
    // order of arrival, a higher priority than the front's goes first.
    int position = 0;
    for (auto it = m_jobs.begin(); it != m_jobs.end(); ++it, ++position) {
        if ((*it)->GetPriority() < priority) {
            m_jobs.insert(it, job);
            return position;
        }
    }
    m_jobs.push_back(job);
    return position;
}

CJob* CJobQueue::TakeNextJob()
{
    const Tl::CSyncLock guard(SyncObject());
    if (m_jobs.empty())
        return nullptr;
    CJob* job = m_jobs.front();
    m_jobs.pop_front();
    return job;
}

bool CJobQueue::RemoveJob(CJob* job)
{
    const Tl::CSyncLock guard(SyncObject());
    if (job && job == CurrentJobLocked()) {
        AbortCurrent();
        return true;
    }
    for (auto it = m_jobs.begin(); it != m_jobs.end(); ++it) {
        if (*it == job) {
            m_jobs.erase(it);
            OnJobDone(kRemovedResult, job);
            break;
        }
    }
    // Only a queue whose jobs wait for a worker becomes idle; a running
    // worker ends its run by itself.
    if (m_jobs.empty() && m_state == kStateWaiting)
        m_state = kStateIdle;
    return true;
}

int CJobQueue::Start()
{
    if (IsPaused()) {
        const Tl::CSyncLock guard(SyncObject());
        DeleteSaveContext();
        Resume();
    }
    const Tl::CSyncLock guard(SyncObject());
    if (m_state != kStateWaiting || m_worker)
        return kStarted;
    Resume();
    CJobWorker* worker = NewWorker();
    if (!worker || !TrackRun(*worker)) {
        delete worker;
        return kNoMemory;
    }
    m_worker = worker;
    // The new thread needs the lock held here before it can end its run,
    // so the state is 2 before the run can end, and the worker still lives.
    if (!worker->Start()) {
        // Never started, so nothing else knows it; a later Start makes a new one.
        m_worker = nullptr;
        m_runEnds.pop_back();
        delete worker;
        return kNoThread;
    }
    worker->m_runEnd->WatchThread(worker->GetThreadHandle());
    m_state = kStateRunning;
    return kStarted;
}

int CJobQueue::Pause()
{
    const Tl::CSyncLock serial(m_pauseLock);
    const bool wasPaused = IsPaused();
    if (!wasPaused) {
        WaitUntilEnabled();
        SetPausedFlag(true);
    }
    // A queue that was paused already may still have a job on its way to
    // the worker's next stop (after AbortCurrent): that stop is waited for too.
    bool waitForWorker = false;
    {
        const Tl::CSyncLock guard(SyncObject());
        waitForWorker = CurrentJobLocked() != nullptr && !IsPauseWaiter();
    }
    if (waitForWorker)
        WaitPaused();
    if (!wasPaused)
        CreateSaveContext();
    return 0;
}

bool CJobQueue::WaitUntilEnabled()
{
    const bool usable = WaitUntil(m_enable, [this] {
        // With no job running there is no filter phase to wait for; a
        // worker parked by the enable hook is held already.
        m_waitForEnable = !(IsEnabled() || IsParked() || !CurrentJobLocked());
        return !m_waitForEnable;
    });
    const Tl::CSyncLock guard(SyncObject());
    m_waitForEnable = false;
    return usable;
}

void CJobQueue::OnEnabledChanged(bool enabled)
{
    unsigned long release = 0;
    bool parked = false;
    {
        const Tl::CSyncLock guard(SyncObject());
        if (!enabled || !m_waitForEnable)
            return;
        SetPausedFlag(true);
        parked = BeginPark(&release);
    }
    // The enabling thread stays parked until Resume.
    m_enable.Signal();
    AcknowledgeEvent().Signal();
    if (parked)
        AwaitRelease(release);
}

int CJobQueue::Cancel()
{
    const Tl::CSyncLock serial(m_pauseLock);
    const bool wasPaused = IsPaused();
    if (!wasPaused)
        Pause();

    enum { kJobRuns, kNoWorker, kIdleWorker } found;
    unsigned long runsBefore = 0;
    {
        const Tl::CSyncLock guard(SyncObject());
        if (!m_worker) {
            found = kNoWorker;
            OnRunFinished(true, 0, int(m_jobs.size()));
            ClearJobs();
        } else {
            m_worker->StopAfterCurrent();
            found = m_worker->m_current ? kJobRuns : kIdleWorker;
            runsBefore = m_finishedRuns;
            if (found == kIdleWorker)
                ReleaseWorker();
        }
    }
    if (found == kJobRuns) {
        AbortCurrent();
        Resume();
        WaitForRunEnd(runsBefore);
        if (wasPaused)
            Pause();
        return 0;
    }
    // The state the pause parked goes back before the queue runs again.
    if (!wasPaused) {
        DeleteSaveContext();
        Resume();
    }
    return 0;
}

void CJobQueue::WaitForRunEnd(unsigned long runsBefore)
{
    WaitUntil(m_finished, [&] { return m_finishedRuns != runsBefore; });
}

int CJobQueue::GetState() const
{
    const Tl::CSyncLock guard(SyncObject());
    return m_state;
}

bool CJobQueue::IsIdle() const
{
    return GetState() == kStateIdle;
}

bool CJobQueue::IsRunning() const
{
    return GetState() == kStateRunning;
}

CJob* CJobQueue::GetCurrentJob() const
{
    const Tl::CSyncLock guard(SyncObject());
    return CurrentJobLocked();
}

CJob* CJobQueue::CurrentJobLocked() const
{
    return m_worker ? m_worker->m_current : nullptr;
}

int CJobQueue::GetJobCount() const
{
    const Tl::CSyncLock guard(SyncObject());
    return int(m_jobs.size());
}

bool CJobQueue::AbortCurrent()
{
    const Tl::CSyncLock guard(SyncObject());
    if (!CurrentJobLocked())
        return false;
    Abort();
    m_abortedJob = CurrentJobLocked();
    if (IsPaused()) {
        // The parked job goes on, sees the abort at once and ends; the queue
        // stays paused after it.
        DeleteSaveContext();
        Resume();
        SetPausedFlag(true);
    }
    return true;
}

CJob* CJobQueue::FindJob(const char* target)
{
    if (!target)
        return nullptr;
    const auto matches = [target](CJob* job) {
        const char* path = job->GetTargetPath();
        return path && std::strcmp(path, target) == 0;
    };
    const Tl::CSyncLock guard(SyncObject());
    CJob* running = CurrentJobLocked();
    if (running && matches(running))
        return running;
    for (CJob* job : m_jobs) {
        if (matches(job))
            return job;
    }
    return nullptr;
}

void CJobQueue::BeginLoadStep(CJob* job)
{
    KeepAbortOf(job);
    OnLoadStarted(job);
}

void CJobQueue::BeginSaveStep(CJob* job)
{
    KeepAbortOf(job);
    OnSaveStarted(job);
}

// A host's abort may come between two steps or phases of the job, after one
// report and before the next step clears the flag; it must not be lost, or
// the aborted save would go on and end as saved.
void CJobQueue::KeepAbortOf(CJob* job)
{
    const Tl::CSyncLock guard(SyncObject());
    SetAbortFlag(job != nullptr && job == m_abortedJob);
}

void CJobQueue::Reset(long position, long total)
{
    CProgressMonitor::Reset(position, total);
    const Tl::CSyncLock guard(SyncObject());
    KeepAbortOf(CurrentJobLocked());
}

void CJobQueue::CreateSaveContext()
{
    const Tl::CSyncLock guard(SyncObject());
    if (!m_saveContext)
        m_saveContext = NewSaveContext();
}

void CJobQueue::DeleteSaveContext()
{
    const Tl::CSyncLock guard(SyncObject());
    delete m_saveContext;
    m_saveContext = nullptr;
}

bool CJobQueue::HasSaveContext() const
{
    const Tl::CSyncLock guard(SyncObject());
    return m_saveContext != nullptr;
}

void CJobQueue::ClearJobs()
{
    const Tl::CSyncLock guard(SyncObject());
    for (CJob* job : m_jobs)
        job->Release(true);
    m_jobs.clear();
    if (m_state == kStateWaiting)
        m_state = kStateIdle;
}

bool CJobQueue::HoldsWorker() const
{
    // Between jobs, a worker told to stop is let go so that it can end its run.
    if (!CPausableMonitor::HoldsWorker())
        return false;
    return !(m_worker && !m_worker->m_current && m_worker->m_stopAfterCurrent);
}

bool CJobQueue::IsPauseSettled() const
{
    return CPausableMonitor::IsPauseSettled() || !CurrentJobLocked();
}

CJobWorker* CJobQueue::NewWorker()
{
    return new (std::nothrow) CJobWorker(this);
}

// ---- Steps of the worker's run (on the worker thread)

CJob* CJobQueue::TakeJobForWorker(CJobWorker& worker)
{
    const Tl::CSyncLock guard(SyncObject());
    // A held worker takes nothing: the job waits for the next run.
    if (HoldsWorker())
        return nullptr;
    worker.m_current = TakeNextJob();
    return worker.m_current;
}

void CJobQueue::EndJobForWorker(CJobWorker& worker)
{
    bool tellPauser = false;
    bool tellEnableWaiter = false;
    {
        const Tl::CSyncLock guard(SyncObject());
        worker.m_current = nullptr;
        m_abortedJob = nullptr;
        // A filter phase that the job left unfinished ends with it.
        StoreEnabled(true);
        tellPauser = IsPaused();
        tellEnableWaiter = m_waitForEnable;
    }
    if (tellPauser)
        AcknowledgeEvent().Signal();
    if (tellEnableWaiter)
        m_enable.Signal();
}

void CJobQueue::FinishRun(CJobWorker& worker, bool stopped, int succeeded, int failed)
{
    bool stranded = false;
    {
        const Tl::CSyncLock guard(SyncObject());
        m_state = m_jobs.empty() ? kStateIdle : kStateWaiting;
        if (m_worker == &worker)
            m_worker = nullptr;
        // A job queued after this worker found none, while it was ending its
        // run, had its Start answered by this run; left alone it would wait
        // for good. Jobs that a pause or a stop holds back wait as they should.
        stranded = !stopped && m_state == kStateWaiting && !IsPaused();
    }
    OnRunFinished(stopped, succeeded, failed);
    {
        const Tl::CSyncLock guard(SyncObject());
        ++m_finishedRuns;
    }
    m_finished.Signal();
    if (stranded)
        Start();
}
