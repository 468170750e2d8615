#include "saverequest/TlSaveTask.h"

#include "load/TlImageJobOwner.h"
#include "load/TlLoadResult.h"
#include "saverequest/TlSaveErrorSlot.h"

namespace {

// The plain owner keeps no state, so every task shares one.
ITlImageJobOwner& SharedOwner()
{
    static CTlImageJobOwner owner;
    return owner;
}

} // namespace

CSaveTask::CSaveTask(TlvQrfLib::TlvSaveData& record, IKelvraManager* manager)
    : CImageJob(SharedOwner(), manager), m_word0(record.dwWord0), m_word1(record.dwWord1), m_record(&record)
{
}

CSaveTask::~CSaveTask()
{
    if (m_errorSlot != nullptr)
        m_errorSlot->Release();
}

void CSaveTask::ReportErrorsTo(CSaveErrorSlot* slot)
{
    if (slot != nullptr)
        slot->AddRef();
    if (m_errorSlot != nullptr)
        m_errorSlot->Release();
    m_errorSlot = slot;
}

void CSaveTask::Release(bool deleteSelf)
{
    if (m_deleteTempFile)
        DeleteTempFile();
    // The job registered its own use of the image when it took it, so the
    // image is given back here too, whoever else holds it.
    ReleaseHeld();
    if (!m_reported)
        ReportResult(kTlResultBadCall);
    if (deleteSelf)
        delete this;
}

void CSaveTask::SetProgress(long done, long total)
{
    const Tl::CSyncLock guard(m_progressLock);
    m_progressDone = done;
    m_progressTotal = total;
}

void CSaveTask::GetProgress(long& done, long& total) const
{
    const Tl::CSyncLock guard(m_progressLock);
    done = m_progressDone;
    total = m_progressTotal;
}

void CSaveTask::ReportResult(std::uint32_t result)
{
    m_record->dwResult = result;
    m_reported = true;
    // A run that ended well leaves no chain, so a former failure's goes too.
    if (m_errorSlot != nullptr)
        m_errorSlot->Put(TakeError());
}
