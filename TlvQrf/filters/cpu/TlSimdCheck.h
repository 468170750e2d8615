// Whether the processor offers the 64-bit integer SIMD extension (MMX).
// Filters with a SIMD path keep a process-wide flag each and ask the
// processor in their first constructor.
#pragma once

#include <atomic>

// Asks the processor now: the identification instruction must exist and its
// function 1 must report feature bit 23.
bool TlProcessorHasMmx();

class CTlSimdFlag {
public:
    // The first call asks the processor; later calls keep its answer. Two
    // first calls at once only ever store the same answer.
    void TestOnce();
    bool IsTested() const { return m_tested.load(std::memory_order_acquire); }
    bool IsSet() const { return m_set.load(std::memory_order_acquire); }

private:
    std::atomic<bool> m_tested{false};
    std::atomic<bool> m_set{false};
};
