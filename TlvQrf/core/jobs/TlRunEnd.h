// The end of one worker's run, as the queue's destructor waits for it. The
// worker and its queue share it, so the worker's signal touches nothing of a
// queue that is about to go.
#pragma once

#include <windows.h>

class CRunEnd {
public:
    CRunEnd();
    ~CRunEnd();
    CRunEnd(const CRunEnd&) = delete;
    CRunEnd& operator=(const CRunEnd&) = delete;

    // The thread that runs the worker; a thread that ends without signalling
    // (process exit ends every other thread first) ends the wait too.
    void WatchThread(HANDLE thread);
    // The worker touches its queue no more.
    void Signal();
    // Until Signal, or until the watched thread is gone; then until the
    // watched thread has ended, for at most kThreadEndGrace milliseconds. At
    // once when neither can come (no event and no thread).
    void Wait() const;
    // Whether Wait would return at once.
    bool HasEnded() const;

    static constexpr DWORD kThreadEndGrace = 2000;

private:
    // Waits up to `timeout` milliseconds; true when the run has ended.
    bool WaitFor(DWORD timeout) const;

    HANDLE m_signalled;
    HANDLE m_thread = nullptr;
};
