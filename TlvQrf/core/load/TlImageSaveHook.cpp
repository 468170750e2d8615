#include "load/TlImageSaveHook.h"

#include "kelvra/KelvraError.h"
#include "load/TlFailureChain.h"

#include <atomic>

namespace {

int NoSave(const STlImageSave&)
{
    return kTlImageSaveUnavailable;
}

// Installed on one thread while jobs may run on the worker.
std::atomic<TlImageSaveHook> g_hook{&NoSave};

// One save runs at a time on a thread. Only a save that RunImageSave runs
// has a job to take its errors; any other caller's are dropped.
thread_local bool t_collecting = false;
thread_local IKelvraError* t_saveErrors = nullptr;

} // namespace

TlImageSaveHook SetImageSaveHook(TlImageSaveHook hook)
{
    return g_hook.exchange(hook != nullptr ? hook : &NoSave);
}

int RunImageSave(const STlImageSave& save)
{
    // What an earlier save left and nobody took is no part of this one.
    IKelvraError::Release(TakeImageSaveError());
    t_collecting = true;
    const int result = g_hook.load()(save);
    t_collecting = false;
    return result;
}

void KeepImageSaveError(IKelvraError* error)
{
    if (t_collecting)
        AppendFailure(t_saveErrors, __LINE__, error);
    else
        IKelvraError::Release(error);
}

IKelvraError* TakeImageSaveError()
{
    IKelvraError* errors = t_saveErrors;
    t_saveErrors = nullptr;
    return errors;
}
