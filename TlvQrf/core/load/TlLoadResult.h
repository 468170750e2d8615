// The codes of the load steps and the result codes the exported load and
// save objects make of them.
#pragma once

enum : long {
    kTlLoadDone = 0,
    kTlLoadCancelled = -123,
    kTlLoadNoObject = -252,      // an object cannot be created
    kTlLoadStepFailed = -242,    // a load step failed
    kTlLoadNoFile = -239,        // the file cannot be opened
    kTlLoadRefused = -234,       // the loader refused the file, or an unknown raw format code
    kTlLoadUnknownCamera = -231, // raw data without a known model
    kTlLoadUnsupported = -230,   // a pixel format the library does not develop
};

// Result codes at the library's boundary.
enum : unsigned long {
    kTlResultOk = 0,
    kTlResultBadCall = 0x1002,
    kTlResultNoMemory = 0x1003,
    kTlResultFault = 0x1005,
    kTlResultFailed = 0x1008,
    kTlResultUnsupported = 0x1103,
    kTlResultFileMissing = 0x1200,
    kTlResultNoAccess = 0x1201,
    kTlResultBadFile = 0x1202,
};

unsigned long MapLoadResult(long code);

// What a failed load step's code says, for the error chain a host is
// given; never null.
const char* LoadFailureText(long code);
