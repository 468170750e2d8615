// The items of one upload run, in order; the queue owns them and its iterator.
#pragma once

#include "items/TlItemIterator.h"
#include "serialize/TlSerialize.h"

#include <deque>
#include <memory>

class CTlvModuleItem;

class CTlvItemQueue : public ITlSerialize {
public:
    CTlvItemQueue() noexcept;
    ~CTlvItemQueue() override;
    CTlvItemQueue(const CTlvItemQueue&) = delete;
    CTlvItemQueue& operator=(const CTlvItemQueue&) = delete;

    // Every item in order, a failing one not stopping the rest; each answers the
    // last item's result, 0 for an empty queue.
    unsigned long Load(ITlReader& reader) override;
    unsigned long Save(ITlWriter& writer) override;

    // Takes the item; false (the item stays the caller's) when memory runs out.
    bool Append(CTlvModuleItem* item) noexcept;
    // Null when empty.
    CTlvModuleItem* Front() const;
    // Hands the front item to the caller; null when empty.
    CTlvModuleItem* PopFront();
    // Null when it could not be made.
    CTlItemIterator* Iterator() const { return m_iterator.get(); }

private:
    std::deque<CTlvModuleItem*> m_items;
    std::unique_ptr<CTlItemIterator> m_iterator;
};
