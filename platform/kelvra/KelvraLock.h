// Locks for state that the threads of a process run share. They stay in the
// process while they wait (a slim lock and its condition), where a contended
// standard mutex of this run-time goes through a kernel object on every
// wait; on the per-tile paths that decides whether more threads help.
#pragma once

// Usable with std::lock_guard, std::unique_lock and std::shared_lock.
class CKelvraLock {
public:
    CKelvraLock() = default;
    CKelvraLock(const CKelvraLock&) = delete;
    CKelvraLock& operator=(const CKelvraLock&) = delete;

    void lock();
    bool try_lock();
    void unlock();
    // Readers that only look share the lock.
    void lock_shared();
    void unlock_shared();

private:
    friend class CKelvraCondition;
    void* m_slim = nullptr; // the system's slim lock, one pointer wide; zero is unlocked
};

class CKelvraCondition {
public:
    CKelvraCondition() = default;
    CKelvraCondition(const CKelvraCondition&) = delete;
    CKelvraCondition& operator=(const CKelvraCondition&) = delete;

    // Waits, with `lock` held exclusively, until `ready()` holds.
    template <typename Ready>
    void Wait(CKelvraLock& lock, Ready ready)
    {
        while (!ready())
            Sleep(lock);
    }
    void WakeAll();

private:
    void Sleep(CKelvraLock& lock);
    void* m_slim = nullptr;
};
