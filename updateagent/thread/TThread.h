// One worker thread fed from a task queue. Stopping is itself a task, put
// at the front of the queue.
#pragma once

#include "base/TBaseObject.h"
#include "thread/TQueue.h"

#include <windows.h>

class TThread : public TBaseObject {
public:
    // Runs on the worker; owns the task it is given.
    using TaskHandler = int (*)(TThreadQueueData* task);

    // How long Stop waits for the worker before it gives up or terminates it.
    static constexpr DWORD kStopWaitMs = 3000;

    TThread() = default;
    ~TThread() override;

    bool Start(TaskHandler handler);
    // False when no thread runs; otherwise empties the queue, asks the worker
    // to stop and waits; a worker still running then is terminated when
    // `force`, else left running.
    bool Stop(bool force);
    // False, with the caller keeping the task, while a stop is under way.
    bool Post(TThreadQueueData* task, bool atFront);
    // Blocks for the next task; always 1.
    int GetMessage(TThreadQueueData*& task);

    DWORD ThreadId() const { return m_threadId; }

private:
    static DWORD WINAPI Procedure(LPVOID argument);

    DWORD m_threadId = 0;
    HANDLE m_thread = nullptr;
    TaskHandler m_handler = nullptr;
    TQueue m_queue;
    volatile LONG m_accepting = 1;
};
