#include "support/ProcessHeap.h"

#include <windows.h>

#include <new>

void* ProcessHeapAllocate(std::size_t size)
{
    if (void* block = HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}

void ProcessHeapFree(void* block) noexcept
{
    if (block != nullptr)
        HeapFree(GetProcessHeap(), 0, block);
}
