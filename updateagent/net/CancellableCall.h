// A blocking WinINet call that a cancel from another thread can end.
// Closing a handle makes a blocked call fail on Windows, but not everywhere
// (Wine's WinINet finishes the call first), so the call runs on a thread of
// its own while the caller waits for it or for the cancel. A cancelled
// caller returns at once; the abandoned call finishes by itself later, with
// everything it uses kept alive until then.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

// The cancel request of a check or a download: a flag and an event that
// wakes a waiting caller.
class CancelSignal {
public:
    CancelSignal();
    ~CancelSignal();
    CancelSignal(const CancelSignal&) = delete;
    CancelSignal& operator=(const CancelSignal&) = delete;

    void Raise();
    bool IsRaised() const { return m_raised.load(); }
    // Clears the request; answers whether it was raised.
    bool Clear();
    HANDLE Event() const { return m_event; }

private:
    std::atomic<bool> m_raised{false};
    HANDLE m_event;
};

struct CallOutcome {
    bool completed = false;  // false: cancelled before the call ended
    bool succeeded = false;
    DWORD error = 0;         // the call's last error when it failed
};

// Runs `call` (true on success, the last error set on failure). When the
// caller gives up, `onAbandoned`, if any, runs once the call has ended, to
// free what a late success made.
CallOutcome RunCancellable(std::function<bool()> call, const CancelSignal& cancel,
                           std::function<void()> onAbandoned = nullptr);
