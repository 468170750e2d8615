// A WinINet handle that a working thread opens and uses while another
// thread may close it to cancel the work. The handle is taken out under a
// lock, so it is closed exactly once, by whichever thread gets there first.
#pragma once

#include <windows.h>
#include <wininet.h>

class GuardedInternetHandle {
public:
    GuardedInternetHandle();
    GuardedInternetHandle(const GuardedInternetHandle&) = delete;
    GuardedInternetHandle& operator=(const GuardedInternetHandle&) = delete;
    // Closes nothing: the owner closes its handles when its work ends.
    ~GuardedInternetHandle();

    void Store(HINTERNET handle);
    // The handle as stored now; null once closed.
    HINTERNET Get() const;
    // Closes the handle when one is stored and forgets it.
    void Close();

private:
    mutable CRITICAL_SECTION m_lock;
    HINTERNET m_handle = nullptr;
};
