// Exception barrier for the toolkit's operations: no exception (chiefly
// std::bad_alloc) may leave a module library, so every public operation
// that allocates answers false instead.
#pragma once

#include <string>

// Runs an operation that answers true or false; any exception becomes false.
template <class Operation>
bool TlAnswerNoThrow(Operation&& operation) noexcept
{
    try {
        return operation();
    } catch (...) {
        return false;
    }
}

// A copy of `text` (null reads as empty); empty when even the copy cannot be made.
inline std::string TlCopyNoThrow(const char* text) noexcept
{
    std::string copy;
    TlAnswerNoThrow([&] {
        copy.assign(text ? text : "");
        return true;
    });
    return copy;
}
