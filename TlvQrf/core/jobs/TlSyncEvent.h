// An auto-reset event with the lock interface: Leave sets it, Enter and
// TryEnter consume its signal. The job queue's pause, resume, abort and
// end-of-run messages travel through such events.
#pragma once

#include "infra/TlSync.h"

namespace Tl {

class CSyncEvent : public CSyncBase {
public:
    using CreateFunction = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name);

    // Unnamed, auto-reset, not signalled. A failed creation keeps the
    // system's error (GetError); such an event is never waited on or set.
    explicit CSyncEvent(const char* name = nullptr, int retryCount = -1);
    ~CSyncEvent() override;

    bool Init() override;
    void Delete() override;
    // Polls without waiting; true (and the signal consumed) when it was set.
    bool TryEnter() override;
    // Waits until set; consumes the signal.
    bool Enter() override;
    // Sets the event.
    void Leave() override;

    // Waits as every waiter of the queue does: up to the retry count of
    // polls, then blocking. False at once when the event is unusable.
    bool Wait();
    // Sets the event unless it is unusable.
    void Signal();

protected:
    // Test seam: creates through `create` instead of the system.
    CSyncEvent(const char* name, int retryCount, CreateFunction create);

private:
    CreateFunction m_create;
    HANDLE m_handle = nullptr;
};

} // namespace Tl
