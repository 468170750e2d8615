#include "net/GuardedInternetHandle.h"

GuardedInternetHandle::GuardedInternetHandle()
{
    InitializeCriticalSection(&m_lock);
}

GuardedInternetHandle::~GuardedInternetHandle()
{
    DeleteCriticalSection(&m_lock);
}

void GuardedInternetHandle::Store(HINTERNET handle)
{
    EnterCriticalSection(&m_lock);
    m_handle = handle;
    LeaveCriticalSection(&m_lock);
}

HINTERNET GuardedInternetHandle::Get() const
{
    EnterCriticalSection(&m_lock);
    HINTERNET handle = m_handle;
    LeaveCriticalSection(&m_lock);
    return handle;
}

void GuardedInternetHandle::Close()
{
    EnterCriticalSection(&m_lock);
    HINTERNET handle = m_handle;
    m_handle = nullptr;
    LeaveCriticalSection(&m_lock);
    if (handle)
        InternetCloseHandle(handle);
}
