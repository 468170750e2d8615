// What every Warpkit1 engine wrapper of the process shares: the library's
// load count and the two process-wide locks. "WKITLibLocal" guards loading,
// unloading and making and deleting engines; "WKITLibWholeThing" is held
// for a whole engine pass, so that one pass runs at a time in the process.
#pragma once

#include "infra/TlSync.h"
#include "kelvra/KelvraError.h"
#include "warpkit1/Warpkit1.h"

Tl::CSyncCritical& TlWarpkitLocalLock();
Tl::CSyncCritical& TlWarpkitWholeThingLock();

// Under the local lock: loads the library for the first user and makes an
// engine of `kind`; on failure the user is not counted (and the library is
// unloaded again when it was the only one).
IKelvraError* TlWarpkitNewEngine(long kind, WKITHandle* handle);
// Under the local lock: deletes the engine and unloads the library after
// its last user.
void TlWarpkitDeleteEngine(WKITHandle handle);
// Under the local lock: swaps an engine for one of another kind, keeping
// the user counted.
IKelvraError* TlWarpkitRenewEngine(long kind, WKITHandle* handle);
// Engines alive through these calls.
long TlWarpkitLoadCount();

// The framework's form of an engine result: null for 0; the message's text
// for -19; the callback's own error, wrapped, for -16; any other result as
// a 'WKIT' error with that code.
IKelvraError* TlWarpkitResult(int result, const WKITMessage& message, long line);

// Errors of the wrapper itself, tagged 'WKIT'.
IKelvraError* TlWarpkitError(long code, long line);

#define TL_WKIT_ERROR(code) TlWarpkitError((code), __LINE__)
#define TL_WKIT_RESULT(result, message) TlWarpkitResult((result), (message), __LINE__)
