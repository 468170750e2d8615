// Nodes of a node-based standard container (map, set), kept after erasing
// for the next insert. The threads of a run make and drop thousands of
// tiles, and a heap call for every node would queue them all on the heap's
// lock, under the cache's own.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

template <typename Container>
class CKelvraNodeShelf {
public:
    using Node = typename Container::node_type;

    // Erases `it` from `container`, keeping its node when there is room.
    void Erase(Container& container, typename Container::iterator it) noexcept
    {
        Node node = container.extract(it);
        if (m_nodes.size() >= kMostNodes)
            return;
        try {
            m_nodes.push_back(std::move(node));
        } catch (...) {
            // The node simply goes back to the heap.
        }
    }

    // Inserts `key` with `value` into a map, in a kept node when there is
    // one. The key must not be in the map. Throws what allocation throws.
    template <typename Value>
    typename Container::iterator InsertMapped(Container& container, const typename Container::key_type& key,
                                              Value&& value)
    {
        if (m_nodes.empty())
            return container.emplace(key, std::forward<Value>(value)).first;
        Node node = std::move(m_nodes.back());
        m_nodes.pop_back();
        node.key() = key;
        node.mapped() = std::forward<Value>(value);
        return container.insert(std::move(node)).position;
    }

    // Inserts `key` into a map with a default value, or in a kept node whose
    // value `reset` makes as good as new while keeping its room.
    template <typename Reset>
    typename Container::iterator InsertReset(Container& container, const typename Container::key_type& key,
                                             Reset reset)
    {
        if (m_nodes.empty())
            return container.emplace(key, typename Container::mapped_type()).first;
        Node node = std::move(m_nodes.back());
        m_nodes.pop_back();
        node.key() = key;
        reset(node.mapped());
        return container.insert(std::move(node)).position;
    }

    // The same for a set.
    typename Container::iterator InsertKey(Container& container, const typename Container::key_type& key)
    {
        if (m_nodes.empty())
            return container.insert(key).first;
        Node node = std::move(m_nodes.back());
        m_nodes.pop_back();
        node.value() = key;
        return container.insert(std::move(node)).position;
    }

private:
    static constexpr std::size_t kMostNodes = 256;
    std::vector<Node> m_nodes;
};
