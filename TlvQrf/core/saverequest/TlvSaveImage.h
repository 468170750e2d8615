// The saver a host drives: CreateObject, SaveImage (which queues a save
// task on the library's job queue and returns 2 at once), GetProgress and
// IsFinished while the worker saves, Abort, then the result in the record,
// and Destroy.
#pragma once

#include "lib/TlvQrfLib.h"
#include "load/TlImageJobOptions.h"
#include "saverequest/TlvSaveData.h"

class CJobQueue;
class CSaveErrorSlot;
class CSaveTask;
class IKelvraError;

// SaveImage's answer when the task is queued and the worker runs.
constexpr unsigned long kTlvSaveQueued = 2;

class ITlvSaveImage {
public:
    // 0, or 0x1003 when the saver cannot be made (`*out` untouched).
    TLBQRF_API static unsigned long CreateObject(ITlvSaveImage** out);

    // 2 when queued; 0x1003 without memory for the task; 0x1008 when the task
    // cannot be set up, queued or started. The record must outlive the job.
    virtual unsigned long SaveImage(TlvQrfLib::TlvSaveData& data) = 0;
    // The running job's progress; both left as they are when none runs.
    virtual void GetProgress(long& done, long& total) const = 0;
    // No job runs or waits.
    virtual bool IsFinished() = 0;
    // Aborts the running job and waits until a direct-image save has let
    // its destination go.
    virtual void Abort() = 0;
    // Deletes the record's profile copy, then the saver.
    virtual void Destroy() = 0;
    virtual ~ITlvSaveImage() = default;
    // The error chain of this saver's save that ended last, once it is
    // finished: what failed and why, down to the file or filter that caused
    // it. The caller owns it and releases it with IKelvraError::Release;
    // null when that save succeeded, was cancelled or was taken already.
    virtual IKelvraError* TakeError() = 0;
};

// What CreateObject does, for code inside the library.
unsigned long CreateSaveImage(ITlvSaveImage** out);

class CTlvSaveImage : public ITlvSaveImage {
public:
    CTlvSaveImage();
    ~CTlvSaveImage() override;

    unsigned long SaveImage(TlvQrfLib::TlvSaveData& data) override;
    void GetProgress(long& done, long& total) const override;
    bool IsFinished() override;
    void Abort() override;
    void Destroy() override;
    IKelvraError* TakeError() override;

private:
    void TakeRequest(const TlvQrfLib::TlvSaveData& data);
    void UseTemporaryOutput();
    long SetUpTask(CSaveTask& task, const TlvQrfLib::TlvSaveData& data);
    unsigned long QueueTask(CSaveTask* task, TlvQrfLib::TlvSaveData& data);

    TlImageJobOptions m_block;
    TlvQrfLib::TlvSaveData* m_record = nullptr;
    CJobQueue* m_queue;
    // Null without memory: the saves then leave no chain.
    CSaveErrorSlot* m_errors;
};
