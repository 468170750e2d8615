// The item queues of a task's runs: new queues go to the back, the current
// queue is the front one. The manager owns them.
#pragma once

#include <deque>

class CTlvItemQueue;

class CTlvQueueManager {
public:
    CTlvQueueManager() = default;
    ~CTlvQueueManager();
    CTlvQueueManager(const CTlvQueueManager&) = delete;
    CTlvQueueManager& operator=(const CTlvQueueManager&) = delete;

    // Appends an empty queue with its iterator and hands it out; 0, or 0x1003
    // when memory runs out.
    unsigned long NewQueue(CTlvItemQueue** queue) noexcept;
    // Null when there is none.
    CTlvItemQueue* Current() const;
    // Detaches and deletes every item of the front queue, then the queue.
    void ClearCurrent();

private:
    std::deque<CTlvItemQueue*> m_queues;
};
