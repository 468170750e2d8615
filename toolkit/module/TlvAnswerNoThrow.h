// The exception barrier of a module's exports: no exception leaves a
// module; memory running out answers 0x1003, anything else a general failure.
#pragma once

#include "runbase/TlvResultCodes.h"

#include <new>

template <class Call>
unsigned long TlvAnswerNoThrow(Call&& call) noexcept
{
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return TLV_ERR_OUT_OF_MEMORY;
    } catch (...) {
        return TLV_ERR_FAILED;
    }
}
