#include "items/TlvItemQueue.h"

#include "items/TlvModuleItem.h"

#include <new>

CTlvItemQueue::CTlvItemQueue() noexcept : m_iterator(new (std::nothrow) CTlItemIterator(m_items)) {}

CTlvItemQueue::~CTlvItemQueue()
{
    for (CTlvModuleItem* item : m_items)
        delete item;
}

unsigned long CTlvItemQueue::Load(ITlReader& reader)
{
    unsigned long result = 0;
    for (CTlvModuleItem* item : m_items)
        result = item->Load(reader);
    return result;
}

unsigned long CTlvItemQueue::Save(ITlWriter& writer)
{
    unsigned long result = 0;
    for (CTlvModuleItem* item : m_items)
        result = item->Save(writer);
    return result;
}

bool CTlvItemQueue::Append(CTlvModuleItem* item) noexcept
{
    try {
        m_items.push_back(item);
        return true;
    } catch (...) {
        return false;
    }
}

CTlvModuleItem* CTlvItemQueue::Front() const
{
    return m_items.empty() ? nullptr : m_items.front();
}

CTlvModuleItem* CTlvItemQueue::PopFront()
{
    CTlvModuleItem* item = Front();
    if (item)
        m_items.pop_front();
    return item;
}
