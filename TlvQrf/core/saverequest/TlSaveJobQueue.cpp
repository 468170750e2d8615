#include "saverequest/TlSaveJobQueue.h"

#include "infra/TlFileFunctions.h"
#include "infra/TlString.h"
#include "load/TlLoadResult.h"
#include "save/TlSaveContext.h"
#include "save/TlSaveState.h"
#include "saverequest/TlSaveTask.h"

#include <atomic>
#include <cstring>
#include <new>

namespace {

// Written on the worker, read by the host's Abort.
std::atomic<bool> g_directImageBusy{false};

// A copy of the profile the save embedded, in the system's temporary
// folder, for the host of a direct-image save. A failed copy leaves the
// record's name as it was.
void CopyOutputProfile(TlvQrfLib::TlvSaveData& record)
{
    const std::string& profile = SaveState().profilePath;
    CTlString name;
    if (profile.empty() || !MakeTempFileName(name))
        return;
    const char* path = name.GetData();
    if (std::strlen(path) >= sizeof record.szProfileCopy || !CopyFileTo(profile.c_str(), path, false)) {
        RemoveFile(path);
        return;
    }
    std::strcpy(record.szProfileCopy, path);
}

// The export wrote the developed image into the destination it was given;
// without one the job has nothing to deliver it from.
bool DeliverDirectImage(TlvQrfLib::TlvSaveData& record)
{
    if (SaveState().directDestination == nullptr)
        return false;
    CopyOutputProfile(record);
    return true;
}

} // namespace

CJobQueue* NewSaveJobQueue()
{
    return new (std::nothrow) CSaveJobQueue();
}

bool IsDirectImageBusy()
{
    return g_directImageBusy;
}

CSaveJobQueue::~CSaveJobQueue()
{
    WaitForWorker();
}

void CSaveJobQueue::OnLoadStarted(CJob*)
{
    const Tl::CSyncLock guard(SyncObject());
    m_releasedJob = nullptr;
}

void CSaveJobQueue::OnSaveStarted(CJob* job)
{
    {
        const Tl::CSyncLock guard(SyncObject());
        m_releasedJob = nullptr;
    }
    CSaveTask* task = dynamic_cast<CSaveTask*>(job);
    if (task == nullptr || !task->Record().bDirectImage)
        return;
    g_directImageBusy = true;
    SaveState().directDestination = task->Record().pDestination;
}

void CSaveJobQueue::OnLoadFinished(long, CJob*) {}

void CSaveJobQueue::OnJobDone(long result, CJob* job)
{
    if (CSaveTask* task = dynamic_cast<CSaveTask*>(job))
        task->ReportResult(ResultFor(result, *task));
    {
        // A host reading the progress meanwhile waits for the release.
        const Tl::CSyncLock guard(SyncObject());
        m_releasedJob = job;
        job->Release(true);
    }
    SaveState().directDestination = nullptr;
    g_directImageBusy = false;
}

// The record says what happened. A job that ran to its end saved its file,
// even when an abort came after the target was replaced (that abort stays
// the queue's state until the next job begins, which clears it). An aborted,
// cancelled or removed job that did not end so reports cancellation rather
// than leaving the record's result at 0, which reads as success.
std::uint32_t CSaveJobQueue::ResultFor(long result, CSaveTask& task)
{
    if (result == kTlJobDone)
        return !task.Record().bDirectImage || DeliverDirectImage(task.Record()) ? kTlResultOk : kTlResultFailed;
    if (IsAborted() || result == kTlJobCancelled)
        return kTlResultBadCall;
    return kTlResultFailed;
}

void CSaveJobQueue::OnRunFinished(bool, int, int) {}

void CSaveJobQueue::FreeObject(void* object)
{
    ::operator delete(object);
}

void CSaveJobQueue::OnJobAdded(CJob*, int) {}

ITlSaveContext* CSaveJobQueue::NewSaveContext()
{
    return new (std::nothrow) CSaveContext();
}

void CSaveJobQueue::OnReset(long, long) {}

void CSaveJobQueue::OnNotify() {}

bool CSaveJobQueue::ReadProgress(long& done, long& total)
{
    const Tl::CSyncLock guard(SyncObject());
    CJob* job = GetCurrentJob();
    CSaveTask* task = job != m_releasedJob ? dynamic_cast<CSaveTask*>(job) : nullptr;
    if (task == nullptr)
        return false;
    task->GetProgress(done, total);
    return true;
}

bool CSaveJobQueue::OnProgress(long done, long total)
{
    if (CSaveTask* task = dynamic_cast<CSaveTask*>(GetCurrentJob()))
        task->SetProgress(done, total);
    return IsAborted();
}
