// Keeps exceptions from leaving code that answers with error chains.
#pragma once

#include "kelvra/KelvraError.h"

#include <new>

// Runs an operation that returns an error chain: running out of memory
// becomes code 1005 under `tag`, any other exception 1007.
template <class Operation>
IKelvraError* PellioGuarded(KelvraTag tag, Operation&& operation) noexcept
{
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, tag, kKelvraOutOfMemory);
    } catch (...) {
        return KELVRA_ERROR(nullptr, tag, kKelvraOperationFailed);
    }
}
