#include "jobs/TlRunEnd.h"

// Manual reset: a wait that comes after the signal returns at once.
CRunEnd::CRunEnd() : m_signalled(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CRunEnd::~CRunEnd()
{
    if (m_signalled)
        CloseHandle(m_signalled);
    if (m_thread)
        CloseHandle(m_thread);
}

void CRunEnd::WatchThread(HANDLE thread)
{
    if (m_thread || !thread)
        return;
    HANDLE copy = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0))
        m_thread = copy;
}

void CRunEnd::Signal()
{
    if (m_signalled)
        SetEvent(m_signalled);
}

void CRunEnd::Wait() const
{
    WaitFor(INFINITE);
    // After its signal the thread still clears its per-thread state; cut off
    // there by the process's exit it can leave the run-time's locks held, and
    // the exit hangs. Bounded: a thread ending under the loader lock a
    // library's unload holds cannot end before the unload does.
    if (m_thread)
        WaitForSingleObject(m_thread, kThreadEndGrace);
}

bool CRunEnd::HasEnded() const
{
    return WaitFor(0);
}

bool CRunEnd::WaitFor(DWORD timeout) const
{
    HANDLE handles[2];
    DWORD count = 0;
    if (m_signalled)
        handles[count++] = m_signalled;
    if (m_thread)
        handles[count++] = m_thread;
    return count == 0 || WaitForMultipleObjects(count, handles, FALSE, timeout) != WAIT_TIMEOUT;
}
