#include "jobs/TlJob.h"

#include "jobs/TlJobQueue.h"

#include <atomic>
#include <cstdio>

namespace {

// Serial numbers of the process's jobs, from 1 on.
std::atomic<int> g_nextSerial{1};

} // namespace

CJob::CJob() : m_serialNumber(g_nextSerial.fetch_add(1)) {}

CJob::~CJob() = default;

void CJob::SetOutputFormat(std::uint32_t format, std::uint32_t flag)
{
    switch (format) {
    case 1: case 2: case 4: case 8: case 16: case 32:
        m_outputKind = (flag & 0xFF) != 0 ? 6 : 5;
        break;
    case 256: case 512: case 1024: case 2048:
        m_outputKind = 4;
        break;
    case 0x10000000:
        m_outputKind = 1;
        break;
    default:
        m_outputKind = 0;
        break;
    }
}

std::uint32_t CJob::GetOutputFormat() const
{
    switch (m_outputKind) {
    case 1: return 0x10000000;
    case 2: return 0x10000;
    case 3: return 1024;
    case 4: return 256;
    case 5: case 6: return 1;
    default: return 0;
    }
}

void CJob::SetKindFromFlags(std::uint32_t flags)
{
    if (flags & 1)
        m_kindFromFlags = 0;
    else if (flags & 2)
        m_kindFromFlags = 1;
    else if (flags & 4)
        m_kindFromFlags = 3;
    else
        m_kindFromFlags = 6;
}

void CJob::FreeThroughQueue(void* object)
{
    if (m_queue)
        m_queue->FreeObject(object);
}

bool CJob::GetOptionFlag()
{
    return m_optionFlag;
}

void CJob::SetOptionFlag(bool option)
{
    m_optionFlag = option;
}

void CJob::SetPriority(int priority)
{
    m_priority = priority;
}

int CJob::GetPriority()
{
    return m_priority;
}

int CJob::SetQueue(CJobQueue* queue)
{
    m_queue = queue;
    return 0;
}

void CJob::DeleteTempFile()
{
    std::remove(m_tempFileName);
}

int CJob::GetOutputKind() const
{
    return m_outputKind;
}

int CJob::GetKindFromFlags() const
{
    return m_kindFromFlags;
}

CJobQueue* CJob::GetQueue() const
{
    return m_queue;
}

const char* CJob::GetTempFilePath() const
{
    return m_tempFileName;
}

int CJob::GetSerialNumber() const
{
    return m_serialNumber;
}

// ---- CJobBatch

int CJobBatch::GetKind()
{
    return kKindBatch;
}

std::vector<CJob*>& CJobBatch::Jobs()
{
    return m_jobs;
}
