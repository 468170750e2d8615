// The HEAD request behind the availability check and the installer's size.
#pragma once

#include "base/TWideString.h"
#include "net/CancellableCall.h"
#include "net/GuardedInternetHandle.h"

// The handles of one request, where another thread can close them to cancel it.
struct HeadHandles {
    GuardedInternetHandle session;
    GuardedInternetHandle connection;
    GuardedInternetHandle request;

    // Request first, then connection, then session.
    void CloseAll();
};

struct HeadAnswer {
    enum Outcome { kBadAddress, kFailed, kAnswered };
    Outcome outcome = kFailed;
    // The system's error code, taken at the call that failed (kFailed).
    DWORD error = 0;
    DWORD status = 0;
    // Asked for only when wanted and the status is 200; 0 when missing.
    DWORD contentLength = 0;
    bool hasContentLength = false;
};

// Sends "HEAD" for the address and closes every handle before it returns.
// A raised `cancel` fails the request at once, as error 12017.
HeadAnswer SendHeadRequest(const TWideString& address, HeadHandles& handles, const CancelSignal& cancel,
                           bool wantContentLength);
