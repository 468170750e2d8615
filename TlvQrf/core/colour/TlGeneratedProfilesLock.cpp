#include "colour/TlGeneratedProfilesLock.h"

#include <windows.h>

namespace {

// One name for every profiles folder: a folder may be named in more than one
// form (short and long names, letter case), and writing a profile takes well
// under a second, so sharing the lock costs little.
constexpr char kLockName[] = "TlbQrf.GeneratedProfiles";
constexpr DWORD kLongestWaitMs = 120000;

} // namespace

CTlGeneratedProfilesLock::CTlGeneratedProfilesLock() : m_mutex(CreateMutexA(nullptr, FALSE, kLockName))
{
    if (!m_mutex)
        return;
    // An abandoned lock is ours: its owner died, and left no profile half-written.
    const DWORD waited = WaitForSingleObject(m_mutex, kLongestWaitMs);
    m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

CTlGeneratedProfilesLock::~CTlGeneratedProfilesLock()
{
    if (m_held)
        ReleaseMutex(m_mutex);
    if (m_mutex)
        CloseHandle(m_mutex);
}
