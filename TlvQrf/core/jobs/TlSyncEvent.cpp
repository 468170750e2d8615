#include "jobs/TlSyncEvent.h"

namespace Tl {

CSyncEvent::CSyncEvent(const char* name, int retryCount) : CSyncEvent(name, retryCount, &CreateEventA) {}

CSyncEvent::CSyncEvent(const char* name, int retryCount, CreateFunction create)
    : CSyncBase(name, retryCount), m_create(create)
{
    CSyncEvent::Init();
}

CSyncEvent::~CSyncEvent()
{
    CSyncEvent::Delete();
}

bool CSyncEvent::Init()
{
    if (m_handle)
        return true;
    m_handle = m_create(nullptr, FALSE, FALSE, nullptr);
    if (!m_handle) {
        const DWORD error = GetLastError();
        // A failure must stay visible even when the system gave no code.
        SetError(error != 0 ? error : ERROR_INVALID_HANDLE);
        return false;
    }
    SetError(0);
    return true;
}

void CSyncEvent::Delete()
{
    if (GetError() == 0 && m_handle)
        CloseHandle(m_handle);
    m_handle = nullptr;
}

bool CSyncEvent::TryEnter()
{
    return m_handle && WaitForSingleObject(m_handle, 0) != WAIT_TIMEOUT;
}

bool CSyncEvent::Enter()
{
    if (m_handle)
        WaitForSingleObject(m_handle, INFINITE);
    return true;
}

void CSyncEvent::Leave()
{
    if (m_handle)
        SetEvent(m_handle);
}

bool CSyncEvent::Wait()
{
    return Lock(-1);
}

void CSyncEvent::Signal()
{
    if (GetError() == 0)
        Leave();
}

} // namespace Tl
