#include "jobs/TlWorkerThread.h"

CWorkerThread::~CWorkerThread()
{
    // Nothing waits on the handle; the thread may still be ending when an
    // auto-delete object goes, which closing the handle does not disturb.
    if (m_thread)
        CloseHandle(m_thread);
}

bool CWorkerThread::Start()
{
    // Created suspended, so that an auto-delete object that runs and
    // destroys itself at once is not written to after its end.
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, &ThreadEntry, this, CREATE_SUSPENDED, &id);
    m_thread = thread;
    m_threadId = id;
    m_running = thread != nullptr;
    if (!thread)
        return false;
    ResumeThread(thread);
    return true;
}

bool CWorkerThread::StopAfterCurrent()
{
    return false;
}

HANDLE CWorkerThread::GetThreadHandle() const
{
    return m_thread;
}

DWORD CWorkerThread::GetThreadId() const
{
    return m_threadId;
}

bool CWorkerThread::IsAutoDelete() const
{
    return m_autoDelete;
}

void CWorkerThread::SetAutoDelete(bool autoDelete)
{
    m_autoDelete = autoDelete;
}

bool CWorkerThread::IsRunning() const
{
    return m_running;
}

DWORD WINAPI CWorkerThread::ThreadEntry(LPVOID argument)
{
    auto* self = static_cast<CWorkerThread*>(argument);
    if (!self)
        return 0;
    self->Run();
    if (self->m_autoDelete)
        delete self;
    else
        self->m_running = false;
    return 0;
}
