#include "runbase/ConvertKelvraError.h"

#include "kelvra/KelvraError.h"
#include "runbase/TlvResultCodes.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

// What one error says, ordered so that the larger one decides the chain.
enum class Outcome { Failed, Cancelled, OutOfMemory };

constexpr std::uint32_t kSigcoreCategory = KelvraFourCC('s', 'i', 'g', 'p');
constexpr long kSigcoreStopped = 2001;

bool IsCancelText(const char* text)
{
    return std::strcmp(text, "Cancelled") == 0 || std::strcmp(text, "Aborted") == 0;
}

Outcome ClassifyFramework(const IKelvraError& error)
{
    switch (error.GetCode()) {
    case kKelvraOutOfMemory:
        return Outcome::OutOfMemory;
    case kKelvraCancelled:
        return Outcome::Cancelled;
    case kKelvraTextError:
        return IsCancelText(error.GetText()) ? Outcome::Cancelled : Outcome::Failed;
    default:
        return Outcome::Failed;
    }
}

Outcome ClassifySystem(long code)
{
    switch (code) {
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return Outcome::OutOfMemory;
    case ERROR_CANCELLED:
        return Outcome::Cancelled;
    default:
        return Outcome::Failed;
    }
}

Outcome Classify(const IKelvraError& error)
{
    switch (error.GetCategory()) {
    case kKelvraCategoryKelvra:
    case kKelvraCategoryApp:
        return ClassifyFramework(error);
    case kKelvraCategoryOS:
        return ClassifySystem(error.GetCode());
    case kSigcoreCategory:
        return error.GetCode() == kSigcoreStopped ? Outcome::Cancelled : Outcome::Failed;
    default:
        return Outcome::Failed;
    }
}

// The strongest outcome of the chain and of the chains its errors wrap.
Outcome Strongest(const IKelvraError* chain)
{
    Outcome strongest = Outcome::Failed;
    for (const IKelvraError* error = chain; error && strongest != Outcome::OutOfMemory; error = error->GetNext()) {
        strongest = std::max(strongest, Classify(*error));
        if (error->GetInner())
            strongest = std::max(strongest, Strongest(error->GetInner()));
    }
    return strongest;
}

} // namespace

unsigned long ConvertKelvraError(const IKelvraError* error)
{
    if (!error)
        return TLV_OK;
    switch (Strongest(error)) {
    case Outcome::OutOfMemory:
        return TLV_ERR_OUT_OF_MEMORY;
    case Outcome::Cancelled:
        return TLV_ERR_CANCELLED;
    default:
        return TLV_ERR_FAILED;
    }
}
