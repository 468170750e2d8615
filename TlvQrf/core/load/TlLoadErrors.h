// Load steps release every framework error where they meet it and carry on
// with a code: this tells whether a call succeeded, releasing its error.
#pragma once

#include "kelvra/KelvraError.h"

inline bool Succeeded(IKelvraError* error)
{
    if (error == nullptr)
        return true;
    IKelvraError::Release(error);
    return false;
}
