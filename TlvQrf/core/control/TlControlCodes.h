// The image control's two ways of reporting failure: result codes for the
// operations that return one, new error chains for those that take records.
#pragma once

#include <cstdint>

class IKelvraError;

enum : unsigned long {
    kTlResultOk = 0,
    kTlResultNoMemory = 0x1003,   // 4099
    kTlResultFailed = 0x1008,     // 4104
    kTlResultBadScale = 0x1102,   // 4354
};

enum : long {
    kTlErrNoMemory = 1005,
    kTlErrFailed = 1007,
    kTlErrUnsupported = 1013,
    kTlErrBadArgument = 1014,
    kTlErrNotReady = 11000,
};

// Chain status to result code (Update, Connect, DisConnect).
unsigned long ChainStatusToCode(int status);
// Chain status to a new error, null for 0 (the build and the setters).
IKelvraError* ChainStatusToError(int status, long line);
// A new error without a source tag.
IKelvraError* ControlError(long code, long line);

#define TL_CONTROL_ERROR(code) ControlError((code), __LINE__)
