#include "items/TlvQueueManager.h"

#include "items/TlvItemQueue.h"
#include "items/TlvModuleItem.h"

#include <memory>
#include <new>

namespace {

constexpr unsigned long kOutOfMemory = 0x1003;

} // namespace

CTlvQueueManager::~CTlvQueueManager()
{
    while (!m_queues.empty())
        ClearCurrent();
}

unsigned long CTlvQueueManager::NewQueue(CTlvItemQueue** queue) noexcept
{
    std::unique_ptr<CTlvItemQueue> made(new (std::nothrow) CTlvItemQueue);
    if (!made || !made->Iterator())
        return kOutOfMemory;
    try {
        m_queues.push_back(made.get());
    } catch (...) {
        return kOutOfMemory;
    }
    if (queue)
        *queue = made.get();
    made.release();
    return 0;
}

CTlvItemQueue* CTlvQueueManager::Current() const
{
    return m_queues.empty() ? nullptr : m_queues.front();
}

void CTlvQueueManager::ClearCurrent()
{
    if (m_queues.empty())
        return;
    CTlvItemQueue* queue = m_queues.front();
    // Each item lets go of what it holds of the host before it is deleted.
    for (CTlvModuleItem* item = queue->Front(); item != nullptr; item = queue->Front()) {
        queue->PopFront();
        item->Detach();
        delete item;
    }
    delete queue;
    m_queues.pop_front();
}
