#include "net/CancellableCall.h"

namespace {
// Shared by the waiting caller and the thread that makes the call; the last
// of the two to let go frees it.
struct CallState {
    std::function<bool()> call;
    std::function<void()> onAbandoned;
    HANDLE done = nullptr;
    bool succeeded = false;
    DWORD error = 0;
    std::atomic<bool> abandoned{false};
    std::atomic<int> holders{2};
};

void LetGo(CallState* state)
{
    if (--state->holders != 0)
        return;
    if (state->abandoned.load() && state->onAbandoned)
        state->onAbandoned();
    CloseHandle(state->done);
    delete state;
}

DWORD WINAPI CallThread(LPVOID argument)
{
    auto* state = static_cast<CallState*>(argument);
    state->succeeded = state->call();
    state->error = state->succeeded ? 0 : GetLastError();
    SetEvent(state->done);
    LetGo(state);
    return 0;
}
}

CancelSignal::CancelSignal()
    : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

CancelSignal::~CancelSignal()
{
    if (m_event)
        CloseHandle(m_event);
}

void CancelSignal::Raise()
{
    m_raised.store(true);
    SetEvent(m_event);
}

bool CancelSignal::Clear()
{
    ResetEvent(m_event);
    return m_raised.exchange(false);
}

CallOutcome RunCancellable(std::function<bool()> call, const CancelSignal& cancel, std::function<void()> onAbandoned)
{
    CallOutcome outcome;
    if (cancel.IsRaised())
        return outcome;
    auto* state = new CallState;
    state->call = std::move(call);
    state->onAbandoned = std::move(onAbandoned);
    state->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = state->done ? CreateThread(nullptr, 0, CallThread, state, 0, nullptr) : nullptr;
    if (!thread) {
        // No thread to spare: make the call here, as a plain blocking call.
        outcome.completed = true;
        outcome.succeeded = state->call();
        outcome.error = outcome.succeeded ? 0 : GetLastError();
        if (state->done)
            CloseHandle(state->done);
        delete state;
        return outcome;
    }
    CloseHandle(thread);
    const HANDLE waits[] = {state->done, cancel.Event()};
    // The call's own end comes first when both are there.
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
        outcome.completed = true;
        outcome.succeeded = state->succeeded;
        outcome.error = state->error;
    } else {
        state->abandoned.store(true);
    }
    LetGo(state);
    return outcome;
}
