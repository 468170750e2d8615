#include "TlRawPluginHost.h"

#include "TlRawPluginUi.h"

#include <windows.h>

namespace {

bool OffersHandles(const PsFormatRecord* record)
{
    const PsHandleProcs* procs = record ? record->handleProcs : nullptr;
    return procs && procs->count >= 6 && procs->newProc && procs->disposeProc && procs->lockProc &&
           procs->unlockProc;
}

} // namespace

HMODULE TlRawOwnModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&TlRawOwnModule), &module);
    return module;
}

namespace {

// What the warning says: the editor version a missing part needs, or that
// the host's suite is newer than the plug-in knows.
void Warn(std::int16_t version, std::int16_t known, const char* needs)
{
    std::string text;
    if (version > known) {
        text = TlRawLoadString(kTlRawStringIncompatible);
    } else {
        text = TlRawLoadString(kTlRawStringNeedsVersion);
        const std::size_t at = text.find("^1");
        if (at != std::string::npos)
            text.replace(at, 2, needs);
    }
    TlRawPluginUi().ShowWarning(text);
}

bool BufferProcsUsable(const PsBufferProcs* procs)
{
    return procs && procs->version == kPsBufferProcsVersion && procs->count > 4 && procs->allocateProc &&
           procs->lockProc && procs->unlockProc && procs->freeProc && procs->spaceProc;
}

bool HandleProcsUsable(const PsHandleProcs* procs)
{
    return procs && procs->version == kPsHandleProcsVersion && procs->count > 7 && procs->newProc &&
           procs->disposeProc && procs->getSizeProc && procs->setSizeProc;
}

} // namespace

PsHandle TlRawNewHandle(const PsFormatRecord* record, std::size_t size)
{
    if (size > 0x7FFFFFFF)
        return nullptr;
    if (OffersHandles(record))
        return record->handleProcs->newProc(std::int32_t(size));
    return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
}

void TlRawDisposeHandle(const PsFormatRecord* record, PsHandle handle)
{
    if (!handle)
        return;
    if (OffersHandles(record))
        record->handleProcs->disposeProc(handle);
    else
        GlobalFree(handle);
}

void* TlRawLockHandle(const PsFormatRecord* record, PsHandle handle)
{
    if (OffersHandles(record))
        return record->handleProcs->lockProc(handle, 0);
    return GlobalLock(handle);
}

void TlRawUnlockHandle(const PsFormatRecord* record, PsHandle handle)
{
    if (OffersHandles(record))
        record->handleProcs->unlockProc(handle);
    else
        GlobalUnlock(handle);
}

bool TlRawHostCanRead(const PsFormatRecord* record)
{
    if (!BufferProcsUsable(record->bufferProcs)) {
        Warn(record->bufferProcs ? record->bufferProcs->version : 0, kPsBufferProcsVersion, "2.5");
        return false;
    }
    if (!record->advanceState) {
        Warn(0, 0, "3.0");
        return false;
    }
    if (!HandleProcsUsable(record->handleProcs)) {
        Warn(record->handleProcs ? record->handleProcs->version : 0, kPsHandleProcsVersion, "3.0");
        return false;
    }
    return true;
}

std::string TlRawLoadString(unsigned id)
{
    wchar_t wide[1024] = {};
    const int length = LoadStringW(TlRawOwnModule(), id, wide, 1024);
    if (length <= 0)
        return std::string();
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(std::size_t(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, wide, length, &text[0], bytes, nullptr, nullptr);
    return text;
}

std::string TlRawOwnFolder()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(TlRawOwnModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}
