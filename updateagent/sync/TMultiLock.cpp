#include "sync/TMultiLock.h"

TMultiLock::TMultiLock(bool waitAll, TSyncObject* const* objects)
    : m_waitAll(waitAll)
{
    for (; objects && *objects; ++objects)
        m_objects.push_back(*objects);
    m_seenFree.assign(m_objects.size(), false);
}

TMultiLock::~TMultiLock()
{
    TGlobalSyncHold hold;
    UnsubscribeAll();
    m_done.Unlock();
}

void TMultiLock::UnsubscribeAll()
{
    for (TSyncObject* object : m_objects)
        object->Unsubscribe(this);
}

int TMultiLock::Lock(DWORD milliseconds)
{
    if (m_objects.empty())
        return kWaitSignalled;
    m_done.Reset();
    {
        TGlobalSyncHold hold;
        m_completed = false;
        m_seenFree.assign(m_objects.size(), false);
        for (TSyncObject* object : m_objects) {
            object->Subscribe(this);
            // An any-one lock that took an object at once takes no second one.
            if (m_completed)
                break;
        }
    }
    const int code = m_done.Lock(milliseconds);
    if (code == kWaitSignalled)
        return code;
    // Given up: leave no subscription behind that could still take the
    // objects, unless the set was taken in the meantime.
    TGlobalSyncHold hold;
    UnsubscribeAll();
    if (m_completed) {
        m_done.Wait(0);
        return kWaitSignalled;
    }
    return code;
}

bool TMultiLock::SeenFree(size_t index) const
{
    TGlobalSyncHold hold;
    return index < m_seenFree.size() && m_seenFree[index];
}

void TMultiLock::OnTaken(TSyncObject* object)
{
    TGlobalSyncHold hold;
    for (size_t i = 0; i < m_objects.size(); ++i) {
        if (m_objects[i] == object)
            m_seenFree[i] = false;
    }
}

namespace {
bool Took(int code)
{
    return code == kWaitSignalled || code == kWaitAbandoned;
}
}

// Takes every object without waiting. A thread that was already waiting for
// one of them outside the global lock may get it first; then whatever was
// taken is given back and the lock waits for the next offer, rather than
// waiting inside the global lock, which the other thread needs to give the
// object back.
bool TMultiLock::TakeAll()
{
    size_t taken = 0;
    while (taken < m_objects.size() && Took(m_objects[taken]->Lock(0)))
        ++taken;
    if (taken < m_objects.size()) {
        for (size_t i = 0; i < taken; ++i) {
            m_objects[i]->Signal();
            m_seenFree[i] = true;
        }
        m_seenFree[taken] = false;
        return false;
    }
    for (size_t i = 0; i < m_objects.size(); ++i) {
        m_objects[i]->Unsubscribe(this);
        m_seenFree[i] = false;
    }
    return true;
}

bool TMultiLock::OnSignalled(TSyncObject* object)
{
    TGlobalSyncHold hold;
    if (m_completed)
        return false;
    bool took = false;
    if (m_waitAll) {
        bool allFree = true;
        for (size_t i = 0; i < m_objects.size(); ++i) {
            if (m_objects[i] == object)
                m_seenFree[i] = true;
            allFree = allFree && m_seenFree[i];
        }
        took = allFree && TakeAll();
    } else if (Took(object->Lock(0))) {
        UnsubscribeAll();
        took = true;
    }
    if (took) {
        m_completed = true;
        m_done.Unlock();
    }
    return took;
}
