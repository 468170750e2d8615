#include "filters/revelation/TlWarpkitLibrary.h"

namespace {

const KelvraTag kWarpkitTag = KelvraFourCC('W', 'K', 'I', 'T');

// Guarded by the local lock.
long g_users = 0;

// Only under the local lock.
IKelvraError* LoadForUser()
{
    if (g_users == 0) {
        if (const int result = WKITLoad())
            return IKelvraError::Add(nullptr, kWarpkitTag, __LINE__, kWarpkitTag, result);
    }
    ++g_users;
    return nullptr;
}

void DropUser()
{
    if (g_users > 0 && --g_users == 0)
        WKITUnload(); // nothing to mend when tearing down fails
}

} // namespace

Tl::CSyncCritical& TlWarpkitLocalLock()
{
    static Tl::CSyncCritical lock("WKITLibLocal", -1);
    return lock;
}

Tl::CSyncCritical& TlWarpkitWholeThingLock()
{
    static Tl::CSyncCritical lock("WKITLibWholeThing", -1);
    return lock;
}

IKelvraError* TlWarpkitNewEngine(long kind, WKITHandle* handle)
{
    Tl::CSyncLock guard(TlWarpkitLocalLock());
    if (IKelvraError* error = LoadForUser())
        return error;
    *handle = WKITNew(int(kind), 0, 0);
    if (*handle)
        return nullptr;
    DropUser();
    return IKelvraError::Add(nullptr, kWarpkitTag, __LINE__, kWarpkitTag, -5);
}

void TlWarpkitDeleteEngine(WKITHandle handle)
{
    Tl::CSyncLock guard(TlWarpkitLocalLock());
    WKITDelete(handle);
    DropUser();
}

IKelvraError* TlWarpkitRenewEngine(long kind, WKITHandle* handle)
{
    Tl::CSyncLock guard(TlWarpkitLocalLock());
    WKITDelete(*handle);
    *handle = WKITNew(int(kind), 0, 0);
    if (*handle)
        return nullptr;
    DropUser();
    return IKelvraError::Add(nullptr, kWarpkitTag, __LINE__, kWarpkitTag, -5);
}

long TlWarpkitLoadCount()
{
    Tl::CSyncLock guard(TlWarpkitLocalLock());
    return g_users;
}

IKelvraError* TlWarpkitResult(int result, const WKITMessage& message, long line)
{
    switch (result) {
    case kWKITOk:
        return nullptr;
    case kWKITMessage:
        return IKelvraError::Add(nullptr, kWarpkitTag, line, message.text);
    case kWKITCallbackFailed:
        if (message.callbackError)
            return IKelvraError::AddWorker(nullptr, kWarpkitTag, line, static_cast<IKelvraError*>(message.callbackError));
        break;
    default:
        break;
    }
    return IKelvraError::Add(nullptr, kWarpkitTag, line, kWarpkitTag, result);
}

IKelvraError* TlWarpkitError(long code, long line)
{
    return IKelvraError::Add(nullptr, kWarpkitTag, line, kKelvraCategoryKelvra, code);
}
