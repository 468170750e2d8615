#include "load/TlLoadResult.h"

unsigned long MapLoadResult(long code)
{
    switch (code) {
    case 0: return kTlResultOk;
    case -252: return kTlResultNoMemory;
    case -241: return kTlResultFileMissing;
    case -240: return kTlResultFault;
    case -239:
    case -238:
    case -237:
    case -236:
    case -235: return kTlResultNoAccess;
    case -234:
    case -230: return kTlResultUnsupported;
    case -227: return kTlResultBadFile;
    case -226: return kTlResultBadCall;
    default: return kTlResultFailed;
    }
}
