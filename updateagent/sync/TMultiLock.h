// Takes several synchronisation objects together (wait-all) or the first
// that comes free (any-one), through their subscriber lists rather than
// WaitForMultipleObjects.
#pragma once

#include "sync/TSyncObject.h"

#include <vector>

class TMultiLock : public TSubscriber {
public:
    // `objects` is a null-terminated list; the objects are not owned.
    TMultiLock(bool waitAll, TSyncObject* const* objects);
    TMultiLock(const TMultiLock&) = delete;
    TMultiLock& operator=(const TMultiLock&) = delete;
    ~TMultiLock() override;

    // 1 once the set was taken (at once without objects), else the done
    // event's wait code; on a time-out nothing is left taken.
    int Lock(DWORD milliseconds);

    // Whether the object at `index` was last seen free (diagnostics and tests).
    bool SeenFree(size_t index) const;

    void OnTaken(TSyncObject* object) override;
    bool OnSignalled(TSyncObject* object) override;

private:
    bool TakeAll();
    void UnsubscribeAll();

    std::vector<bool> m_seenFree;
    std::vector<TSyncObject*> m_objects;
    TSyncEvent m_done;
    bool m_waitAll;
    bool m_completed = false;
};
