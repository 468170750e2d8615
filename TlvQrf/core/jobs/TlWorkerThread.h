// A thread object: Start runs Run on a new thread. An auto-delete thread
// destroys itself when Run returns; any other clears its running flag.
#pragma once

#include <windows.h>

#include <atomic>

class CWorkerThread {
public:
    CWorkerThread() = default;
    virtual ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Creates the thread (default stack size); answers whether it exists.
    // An auto-delete object may be gone by the time Start returns true.
    virtual bool Start();
    virtual unsigned long Run() = 0;
    // Asks a thread that works through a list to stop after its current
    // item; false when the thread has no such list.
    virtual bool StopAfterCurrent();

    HANDLE GetThreadHandle() const;
    DWORD GetThreadId() const;
    bool IsAutoDelete() const;
    void SetAutoDelete(bool autoDelete);
    bool IsRunning() const;

private:
    static DWORD WINAPI ThreadEntry(LPVOID argument);

    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
    bool m_autoDelete = true;
    std::atomic<bool> m_running{false};
};
