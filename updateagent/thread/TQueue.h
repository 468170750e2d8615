// The task queue between a dialog's thread and its worker. It holds raw task
// pointers and takes no reference: whoever pops a task owns it.
#pragma once

#include "sync/TSyncObject.h"
#include "thread/TThreadQueueData.h"

#include <deque>

class TQueue {
public:
    TQueue() = default;
    TQueue(const TQueue&) = delete;
    TQueue& operator=(const TQueue&) = delete;
    virtual ~TQueue() = default;

    bool Push(TThreadQueueData* task, bool atFront);
    // Blocks until a task is queued.
    TThreadQueueData* Pop();
    // Empties the queue, releasing each task when `releaseItems`.
    bool Clear(bool releaseItems);

private:
    TSyncEvent m_lock;
    TSyncSemaphore m_count;
    std::deque<TThreadQueueData*> m_items;
};
