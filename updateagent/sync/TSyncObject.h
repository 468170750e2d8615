// Wrappers over Win32 synchronisation handles whose subscribers are told when
// an object is taken and when it becomes free, so that TMultiLock can take
// several objects together.
#pragma once

#include <windows.h>

#include <vector>

class TSyncObject;

class TSubscriber {
public:
    virtual ~TSubscriber() = default;
    virtual void OnTaken(TSyncObject* object) = 0;
    // True when the subscriber took the object.
    virtual bool OnSignalled(TSyncObject* object) = 0;
};

// Answers of Wait and Lock.
enum TWaitResult {
    kWaitNoHandle = 0,
    kWaitSignalled = 1,
    kWaitTimeout = 2,
    kWaitAbandoned = 3,
    kWaitFailed = -1,
};

class TSyncObject {
public:
    TSyncObject() = default;
    TSyncObject(const TSyncObject&) = delete;
    TSyncObject& operator=(const TSyncObject&) = delete;
    virtual ~TSyncObject();

    virtual int Wait(DWORD milliseconds);
    virtual bool Signal() = 0;

    // Tells the subscribers the object is taken, then waits for it.
    int Lock(DWORD milliseconds);
    // Frees the object and offers it to the subscribers.
    bool Unlock();

    void Subscribe(TSubscriber* subscriber);
    void Unsubscribe(TSubscriber* subscriber);

    HANDLE Handle() const { return m_handle; }
    // How many subscribers wait for the object (diagnostics and tests).
    size_t SubscriberCount() const;

protected:
    void SetHandle(HANDLE handle) { m_handle = handle; }
    // Under the global lock: every subscriber hears that the object is taken.
    void TellTaken();

private:
    void Offer();

    HANDLE m_handle = nullptr;
    std::vector<TSubscriber*> m_subscribers;
};

class TCritSection : public TSyncObject {
public:
    TCritSection();
    ~TCritSection() override;
    // Enters the section; the time limit is ignored.
    int Wait(DWORD milliseconds) override;
    bool Signal() override;

private:
    CRITICAL_SECTION m_section;
};

// Auto-reset, created signalled: one holder at a time.
class TSyncEvent : public TSyncObject {
public:
    TSyncEvent();
    bool Signal() override;
    bool Reset();
};

// Count 0 at creation, at most 10000.
class TSyncSemaphore : public TSyncObject {
public:
    static constexpr LONG kMaximum = 10000;
    TSyncSemaphore();
    bool Signal() override;
};

// The process-wide lock under which every subscriber operation runs;
// re-entrant on one thread.
TCritSection& GlobalSyncLock();

// Holds the global sync lock for a scope.
class TGlobalSyncHold {
public:
    TGlobalSyncHold() { GlobalSyncLock().Wait(INFINITE); }
    ~TGlobalSyncHold() { GlobalSyncLock().Signal(); }
    TGlobalSyncHold(const TGlobalSyncHold&) = delete;
    TGlobalSyncHold& operator=(const TGlobalSyncHold&) = delete;
};
