#include "load/TlFailureChain.h"

#include "kelvra/KelvraError.h"

IKelvraError* MakeFailure(long line, const char* text, IKelvraError* cause)
{
    return IKelvraError::AddWorker(IKelvraError::Add(nullptr, 0, line, text), 0, line, cause);
}

void AppendFailure(IKelvraError*& chain, long line, IKelvraError* error)
{
    if (error == nullptr)
        return;
    // Joined under a wrapper, so each failure keeps its own errors together.
    chain = chain == nullptr ? error : IKelvraError::AddWorker(chain, 0, line, error);
}
