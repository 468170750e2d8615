// The lock that every process takes while it generates a profile into the
// profiles folder or clears generated profiles from it, so that a clear never
// falls between a profile being written and the writer marking it as used
// (TlGeneratedProfileHolds.h). It is a named mutex: the system hands the lock
// of a process that dies holding it to the next waiter, and such a process
// leaves at most a temporary file behind, never a half-written profile.
#pragma once

class CTlGeneratedProfilesLock {
public:
    // Waits for the lock; a process stuck with it for minutes makes this give up.
    CTlGeneratedProfilesLock();
    ~CTlGeneratedProfilesLock();
    CTlGeneratedProfilesLock(const CTlGeneratedProfilesLock&) = delete;
    CTlGeneratedProfilesLock& operator=(const CTlGeneratedProfilesLock&) = delete;

    // False when the lock could not be made or the wait gave up.
    bool IsHeld() const { return m_held; }

private:
    void* m_mutex = nullptr;
    bool m_held = false;
};
