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

const char* LoadFailureText(long code)
{
    switch (code) {
    case kTlLoadNoObject: return "an imaging object could not be made";
    case kTlLoadStepFailed: return "the picture could not be read";
    case kTlLoadNoFile: return "the file cannot be opened";
    case kTlLoadRefused: return "the loader does not take the file";
    case kTlLoadUnknownCamera: return "raw data of a camera the library does not know";
    case kTlLoadUnsupported: return "a pixel format the library does not develop";
    default: return "the load failed";
    }
}
