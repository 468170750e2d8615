#include "kelvra/KelvraLock.h"

#include <windows.h>

static_assert(sizeof(SRWLOCK) == sizeof(void*), "a slim lock is one pointer wide");
static_assert(sizeof(CONDITION_VARIABLE) == sizeof(void*), "a condition is one pointer wide");

namespace {

PSRWLOCK Slim(void** state)
{
    return reinterpret_cast<PSRWLOCK>(state);
}

} // namespace

void CKelvraLock::lock()
{
    AcquireSRWLockExclusive(Slim(&m_slim));
}

bool CKelvraLock::try_lock()
{
    return TryAcquireSRWLockExclusive(Slim(&m_slim)) != 0;
}

void CKelvraLock::unlock()
{
    ReleaseSRWLockExclusive(Slim(&m_slim));
}

void CKelvraLock::lock_shared()
{
    AcquireSRWLockShared(Slim(&m_slim));
}

void CKelvraLock::unlock_shared()
{
    ReleaseSRWLockShared(Slim(&m_slim));
}

void CKelvraCondition::Sleep(CKelvraLock& lock)
{
    SleepConditionVariableSRW(reinterpret_cast<PCONDITION_VARIABLE>(&m_slim), Slim(&lock.m_slim), INFINITE, 0);
}

void CKelvraCondition::WakeAll()
{
    WakeAllConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&m_slim));
}
