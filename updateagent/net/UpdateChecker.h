// Whether an update is available: both addresses answer HEAD with status 200.
#pragma once

#include "base/TWideString.h"
#include "net/HeadRequest.h"


class UpdateChecker {
public:
    enum Result {
        kAvailable = 0,
        kOtherStatus = 1,
        kCancelled = 2,
        kBadAddress = 3,
        kInternetFailure = 4,
        kNotConnected = 5,
    };

    // Told each step; always with 1.
    using Progress = void (*)(int step, void* context);

    // A full successful check reports this many steps.
    static constexpr int kProgressSteps = 10;

    UpdateChecker() = default;
    UpdateChecker(const UpdateChecker&) = delete;
    UpdateChecker& operator=(const UpdateChecker&) = delete;

    unsigned Check(const TWideString& first, const TWideString& second, Progress progress, void* context);
    // From another thread: the running check ends with kCancelled.
    void Cancel();

private:
    unsigned CheckOne(const TWideString& address);

    CancelSignal m_cancel;
    HeadHandles m_handles;
};

// The Content-Length of the address's HEAD answer; 0 when anything fails,
// the status is not 200 or the answer has none.
DWORD GetContentLength(const TWideString& address);
