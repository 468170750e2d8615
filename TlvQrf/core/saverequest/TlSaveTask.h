// The job that one SaveImage call queues: an image job that also carries
// the host's request record, the save's progress for the host to poll, and
// the result it reports into the record.
#pragma once

#include "infra/TlSync.h"
#include "load/TlImageJob.h"
#include "saverequest/TlvSaveData.h"

#include <cstdint>

class CSaveErrorSlot;

class CSaveTask : public CImageJob {
public:
    // The record must outlive the task; the task writes its result there.
    explicit CSaveTask(TlvQrfLib::TlvSaveData& record, IKelvraManager* manager = nullptr);
    ~CSaveTask() override;

    // Deletes the temporary settings file when the task owns it, gives back
    // every registered object (the image included), and reports the save as
    // cancelled when it ends without a result (a queued task that a cancel
    // released).
    void Release(bool deleteSelf) override;

    // Worker: the running save's progress. Host: what it reached, both
    // figures of one report (a pair read while the worker writes one would
    // mix two reports).
    void SetProgress(long done, long total);
    void GetProgress(long& done, long& total) const;

    TlvQrfLib::TlvSaveData& Record() const { return *m_record; }
    // The slot that gets the error chain of the run when the result is
    // reported (the task keeps a reference); none by default.
    void ReportErrorsTo(CSaveErrorSlot* slot);
    // Writes the job's result into the record, and the run's error chain
    // into the slot; Release then leaves them alone.
    void ReportResult(std::uint32_t result);

private:
    std::uint32_t m_word0;
    std::uint32_t m_word1;
    mutable Tl::CSyncCritical m_progressLock;
    long m_progressDone = 0;
    long m_progressTotal = 0;
    TlvQrfLib::TlvSaveData* m_record;
    bool m_reported = false;
    CSaveErrorSlot* m_errorSlot = nullptr;
};
