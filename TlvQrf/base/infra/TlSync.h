// Locks: a small lock interface, its critical-section implementation and a
// scoped guard. Before blocking, a caller tries to enter without blocking a
// number of times, so that on a multi-processor machine a short wait passes
// without a sleep.
#pragma once

#include "infra/TlString.h"

#include <windows.h>

namespace Tl {

class CSyncBase {
public:
    // Retry count given when a lock is asked for with a negative count.
    static constexpr int kDefaultRetryCount = 1000;

    // `name` may be null (empty name). A negative retry count becomes
    // kDefaultRetryCount; on a one-processor machine it is always 0.
    CSyncBase(const char* name, int retryCount);
    virtual ~CSyncBase();
    CSyncBase(const CSyncBase&) = delete;
    CSyncBase& operator=(const CSyncBase&) = delete;

    virtual bool Init() = 0;
    virtual void Delete() = 0;
    virtual bool TryEnter() = 0;
    virtual bool Enter() = 0;
    virtual void Leave() = 0;

    // Enters with up to `count` non-blocking attempts (a negative count: the
    // lock's own retry count), then blocks. False at once, without
    // entering, when the error word is set.
    bool Lock(int count = -1);

    const char* GetName() const;
    int GetRetryCount() const;
    // 0 while the lock is usable; a system error code when Init failed.
    DWORD GetError() const;

    // The machine's processor count, asked of the system once per process.
    static DWORD GetProcessorCount();

protected:
    // Test seam: takes the processor count instead of asking the system.
    CSyncBase(const char* name, int retryCount, DWORD processorCount);

    void SetError(DWORD error);

private:
    CTlString m_name;
    int m_retryCount;
    DWORD m_error = 0;
};

// A lock over a Windows critical section: recursive for its owning thread.
class CSyncCritical : public CSyncBase {
public:
    using TryEnterFunction = BOOL(WINAPI*)(LPCRITICAL_SECTION);

    explicit CSyncCritical(const char* name = nullptr, int retryCount = -1);
    ~CSyncCritical() override;

    // Initialises the section and looks up the system's try-enter function;
    // nothing when the section is already initialised.
    bool Init() override;
    void Delete() override;
    // Without the system's try-enter function, enters blocking and answers true.
    bool TryEnter() override;
    // Blocks until entered; false only after Delete.
    bool Enter() override;
    void Leave() override;

protected:
    // Test seam: fixes the processor count and the try-enter function
    // (null: the system offers none) instead of asking the system.
    CSyncCritical(const char* name, int retryCount, DWORD processorCount, TryEnterFunction tryEnter);

private:
    void InitSection();
    static TryEnterFunction LookUpTryEnter();

    CRITICAL_SECTION m_section;
    TryEnterFunction m_tryEnter = nullptr;
    bool m_initialized = false;
};

// Enters a lock (with its retry count) for the life of the guard. Must be
// destroyed on the thread that constructed it.
class CSyncLock {
public:
    explicit CSyncLock(CSyncBase* lock);
    explicit CSyncLock(CSyncBase& lock);
    ~CSyncLock();
    CSyncLock(const CSyncLock&) = delete;
    CSyncLock& operator=(const CSyncLock&) = delete;

    // False when the lock was null or refused entry (its error word was set).
    bool IsLocked() const;

private:
    CSyncBase* m_lock;
    bool m_entered;
};

} // namespace Tl
