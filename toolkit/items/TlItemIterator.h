// Walks the items of one queue in order.
#pragma once

#include <cstddef>
#include <deque>

class CTlvModuleItem;

class CTlItemIterator {
public:
    // The items must outlive the iterator.
    explicit CTlItemIterator(const std::deque<CTlvModuleItem*>& items) : m_items(items) {}

    virtual void First() { m_position = 0; }
    virtual void Next()
    {
        if (m_position < m_items.size())
            ++m_position;
    }
    virtual bool AtEnd() const { return m_position >= m_items.size(); }
    // Null at the end.
    virtual CTlvModuleItem* Current() const { return AtEnd() ? nullptr : m_items[m_position]; }
    virtual std::size_t Count() const { return m_items.size(); }
    virtual ~CTlItemIterator() = default;

private:
    const std::deque<CTlvModuleItem*>& m_items;
    std::size_t m_position = 0;
};
