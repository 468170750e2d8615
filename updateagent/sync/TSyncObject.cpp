#include "sync/TSyncObject.h"

#include <algorithm>

TCritSection& GlobalSyncLock()
{
    static TCritSection lock;
    return lock;
}

TSyncObject::~TSyncObject()
{
    if (m_handle)
        CloseHandle(m_handle);
}

int TSyncObject::Wait(DWORD milliseconds)
{
    if (!m_handle)
        return kWaitNoHandle;
    switch (WaitForSingleObject(m_handle, milliseconds)) {
    case WAIT_OBJECT_0:
        return kWaitSignalled;
    case WAIT_ABANDONED:
        return kWaitAbandoned;
    case WAIT_TIMEOUT:
        return kWaitTimeout;
    default:
        return kWaitFailed;
    }
}

void TSyncObject::TellTaken()
{
    // A copy: a subscriber may unsubscribe while it is told.
    const std::vector<TSubscriber*> subscribers = m_subscribers;
    for (TSubscriber* subscriber : subscribers)
        subscriber->OnTaken(this);
}

int TSyncObject::Lock(DWORD milliseconds)
{
    if (!m_handle)
        return kWaitNoHandle;
    {
        TGlobalSyncHold hold;
        TellTaken();
    }
    return Wait(milliseconds);
}

void TSyncObject::Offer()
{
    const std::vector<TSubscriber*> subscribers = m_subscribers;
    for (TSubscriber* subscriber : subscribers) {
        if (std::find(m_subscribers.begin(), m_subscribers.end(), subscriber) == m_subscribers.end())
            continue;
        if (subscriber->OnSignalled(this)) {
            // Every other waiter forgets that it saw the object free.
            TellTaken();
            return;
        }
    }
}

bool TSyncObject::Unlock()
{
    if (!m_handle)
        return false;
    TGlobalSyncHold hold;
    Signal();
    Offer();
    return true;
}

void TSyncObject::Subscribe(TSubscriber* subscriber)
{
    TGlobalSyncHold hold;
    bool taken = false;
    if (Lock(0) == kWaitSignalled) {
        Signal();
        taken = subscriber->OnSignalled(this);
    }
    // A subscriber that took the object at once wants no further offers.
    if (!taken)
        m_subscribers.push_back(subscriber);
}

void TSyncObject::Unsubscribe(TSubscriber* subscriber)
{
    TGlobalSyncHold hold;
    auto it = std::find(m_subscribers.begin(), m_subscribers.end(), subscriber);
    if (it != m_subscribers.end())
        m_subscribers.erase(it);
}

size_t TSyncObject::SubscriberCount() const
{
    TGlobalSyncHold hold;
    return m_subscribers.size();
}

TCritSection::TCritSection()
{
    InitializeCriticalSection(&m_section);
}

TCritSection::~TCritSection()
{
    DeleteCriticalSection(&m_section);
}

int TCritSection::Wait(DWORD)
{
    EnterCriticalSection(&m_section);
    return kWaitSignalled;
}

bool TCritSection::Signal()
{
    LeaveCriticalSection(&m_section);
    return true;
}

TSyncEvent::TSyncEvent()
{
    SetHandle(CreateEventA(nullptr, FALSE, TRUE, nullptr));
}

bool TSyncEvent::Signal()
{
    SetEvent(Handle());
    return true;
}

bool TSyncEvent::Reset()
{
    if (!Handle())
        return false;
    {
        TGlobalSyncHold hold;
        TellTaken();
    }
    ResetEvent(Handle());
    return true;
}

TSyncSemaphore::TSyncSemaphore()
{
    SetHandle(CreateSemaphoreA(nullptr, 0, kMaximum, nullptr));
}

bool TSyncSemaphore::Signal()
{
    ReleaseSemaphore(Handle(), 1, nullptr);
    return true;
}
