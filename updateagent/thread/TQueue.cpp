#include "thread/TQueue.h"

#include "sync/TMultiLock.h"

bool TQueue::Push(TThreadQueueData* task, bool atFront)
{
    m_lock.Lock(INFINITE);
    if (atFront)
        m_items.push_front(task);
    else
        m_items.push_back(task);
    m_count.Unlock();
    m_lock.Unlock();
    return true;
}

TThreadQueueData* TQueue::Pop()
{
    TSyncObject* const objects[] = {&m_count, &m_lock, nullptr};
    TMultiLock both(true, objects);
    both.Lock(INFINITE);
    TThreadQueueData* task = m_items.front();
    m_items.pop_front();
    m_lock.Unlock();
    return task;
}

bool TQueue::Clear(bool releaseItems)
{
    m_lock.Lock(INFINITE);
    const size_t queued = m_items.size();
    if (releaseItems) {
        for (TThreadQueueData* task : m_items)
            task->Release();
    }
    m_items.clear();
    // Taken through Lock, so that a waiting pop forgets it saw a count that
    // is gone now.
    for (size_t i = 0; i < queued; ++i)
        m_count.Lock(INFINITE);
    m_lock.Unlock();
    return true;
}
