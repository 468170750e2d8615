#include "thread/TThread.h"

TThread::~TThread()
{
    Stop(true);
}

bool TThread::Start(TaskHandler handler)
{
    m_handler = handler;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, &TThread::Procedure, this, 0, &id);
    if (!thread)
        return false;
    m_thread = thread;
    m_threadId = id;
    return true;
}

bool TThread::Stop(bool force)
{
    if (m_threadId == 0)
        return false;
    InterlockedExchange(&m_accepting, 0);
    m_queue.Clear(true);
    m_queue.Push(new TThreadQueueData(TThreadQueueData::kStopCode), true);
    if (WaitForSingleObject(m_thread, kStopWaitMs) == WAIT_TIMEOUT && force) {
        TerminateThread(m_thread, 0);
        // The stop task was never taken: it must not end the next worker at once.
        m_queue.Clear(true);
    }
    CloseHandle(m_thread);
    m_thread = nullptr;
    m_threadId = 0;
    InterlockedExchange(&m_accepting, 1);
    return true;
}

bool TThread::Post(TThreadQueueData* task, bool atFront)
{
    if (m_accepting == 0)
        return false;
    return m_queue.Push(task, atFront);
}

int TThread::GetMessage(TThreadQueueData*& task)
{
    task = m_queue.Pop();
    return 1;
}

DWORD WINAPI TThread::Procedure(LPVOID argument)
{
    auto* self = static_cast<TThread*>(argument);
    if (!self)
        return 0;
    for (;;) {
        TThreadQueueData* task = nullptr;
        self->GetMessage(task);
        if (task->Code() == TThreadQueueData::kStopCode) {
            delete task;
            break;
        }
        if (self->m_handler)
            self->m_handler(task);
        else
            task->Release();
    }
    OutputDebugStringA("The rendering thread exited gracefully\n");
    return 0;
}
