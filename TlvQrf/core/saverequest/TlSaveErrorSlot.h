// Where a saver's tasks leave the error chain of the save that ended last,
// for the host to take. The saver and each task it queued hold a reference,
// since the host may destroy the saver while a task still runs.
#pragma once

#include "infra/TlSync.h"

#include <atomic>

class IKelvraError;

class CSaveErrorSlot {
public:
    // One reference for the caller; null without memory.
    static CSaveErrorSlot* Create();
    void AddRef();
    // Frees the slot and the chain it holds with the last reference.
    void Release();

    // Worker: replaces the chain held (released) by `chain` (null: none).
    void Put(IKelvraError* chain);
    // Host: the chain held, which the caller then owns; null when none.
    IKelvraError* Take();

    CSaveErrorSlot(const CSaveErrorSlot&) = delete;
    CSaveErrorSlot& operator=(const CSaveErrorSlot&) = delete;

private:
    CSaveErrorSlot() = default;
    ~CSaveErrorSlot();

    std::atomic<long> m_references{1};
    Tl::CSyncCritical m_lock;
    IKelvraError* m_chain = nullptr;
};
