// A process-wide value that one place sets (the library at start-up, a test
// with its fakes) and others read from any thread.
#pragma once

#include <mutex>

template <class Value>
class TlProcessWide {
public:
    // Returns the value held before.
    Value Exchange(const Value& value)
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        const Value previous = m_value;
        m_value = value;
        return previous;
    }

    Value Get() const
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_value;
    }

private:
    mutable std::mutex m_lock;
    Value m_value{};
};
