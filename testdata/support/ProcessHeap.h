// For test programs that replace operator new to make allocations fail:
// blocks come from the process heap directly, so that every block of the
// program comes from one place whatever the replacement's rule does.
#pragma once

#include <cstddef>

// A block of `size` bytes (at least one); throws std::bad_alloc when the heap has none.
void* ProcessHeapAllocate(std::size_t size);
void ProcessHeapFree(void* block) noexcept;
