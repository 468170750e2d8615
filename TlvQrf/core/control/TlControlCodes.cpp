#include "control/TlControlCodes.h"

#include "kelvra/KelvraError.h"

unsigned long ChainStatusToCode(int status)
{
    if (status == 0 || status > 16)
        return kTlResultOk; // above 16: the chain was busy or had nothing to do
    if (status == 3)
        return kTlResultNoMemory;
    // 1, 2, 4 to 16 (13 to 16: the LCh filters' tables could not be loaded,
    // so the preview lacks what the settings ask for), and statuses no chain
    // gives.
    return kTlResultFailed;
}

IKelvraError* ControlError(long code, long line)
{
    return IKelvraError::Add(nullptr, 0, line, kKelvraCategoryKelvra, code);
}

IKelvraError* ChainStatusToError(int status, long line)
{
    switch (status) {
    case 0: return nullptr;
    case 2: return ControlError(kTlErrBadArgument, line);
    case 3: return ControlError(kTlErrNoMemory, line);
    case 4:
    case 5: return ControlError(kTlErrNotReady, line);
    case 6: return ControlError(1004, line);
    case 7: return ControlError(11004, line);
    case 8: return ControlError(11005, line);
    case 9: return ControlError(11003, line);
    case 10: return ControlError(11006, line);
    default: return ControlError(kTlErrFailed, line);
    }
}
