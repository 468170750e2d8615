// What the plug-in host's files share: a framework call whose error the
// plug-in only learns as a result.
#pragma once

#include "kelvra/KelvraError.h"

// True when `error` is null; otherwise releases it.
inline bool TlTakeSucceeded(IKelvraError* error)
{
    if (error == nullptr)
        return true;
    IKelvraError::Release(error);
    return false;
}
