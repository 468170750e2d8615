#include "TlRawPluginEntry.h"

#include "TlRawPluginGlobals.h"
#include "TlRawPluginHost.h"
#include "TlRawPluginRead.h"
#include "TlRawPluginUi.h"

#include <cstring>

namespace {

enum class Dispatch { About, Prepare, Start, Continue, Finish, Unsupported, FilterFile, Unknown };

Dispatch DispatchOf(std::int16_t selector)
{
    switch (selector) {
    case kPsFormatAbout:
        return Dispatch::About;
    case kPsFormatReadPrepare:
        return Dispatch::Prepare;
    case kPsFormatReadStart:
        return Dispatch::Start;
    case kPsFormatReadContinue:
        return Dispatch::Continue;
    case kPsFormatReadFinish:
        return Dispatch::Finish;
    case kPsFormatFilterFile:
        return Dispatch::FilterFile;
    default:
        return selector >= kPsFormatOptionsPrepare && selector <= kPsFormatWriteFinish ? Dispatch::Unsupported
                                                                                       : Dispatch::Unknown;
    }
}

PsResult Run(Dispatch dispatch, TlRawGlobals* globals)
{
    switch (dispatch) {
    case Dispatch::Prepare:
        globals->record->maxData = 0;
        return kPsNoError;
    case Dispatch::Start:
        return TlRawReadStart(globals);
    case Dispatch::Continue:
        return TlRawReadContinue(globals);
    case Dispatch::Finish:
        return TlRawReadFinish(globals);
    case Dispatch::FilterFile:
        return kPsNoError;
    default:
        return kPsFormatBadSelector;
    }
}

// The globals record in the data handle: made and zeroed on first use.
TlRawGlobals* LockGlobals(PsFormatRecord* record, std::intptr_t* data)
{
    if (*data == 0) {
        PsHandle handle = TlRawNewHandle(record, sizeof(TlRawGlobals));
        if (!handle)
            return nullptr;
        void* bytes = TlRawLockHandle(record, handle);
        if (!bytes) {
            TlRawDisposeHandle(record, handle);
            return nullptr;
        }
        std::memset(bytes, 0, sizeof(TlRawGlobals));
        *data = reinterpret_cast<std::intptr_t>(handle);
        return static_cast<TlRawGlobals*>(bytes);
    }
    return static_cast<TlRawGlobals*>(TlRawLockHandle(record, reinterpret_cast<PsHandle>(*data)));
}

} // namespace

extern "C" void PS_API ENTRYPOINT(std::int16_t selector, void* record, std::intptr_t* data, PsResult* result)
{
    if (!result)
        return;
    const Dispatch dispatch = DispatchOf(selector);
    if (dispatch == Dispatch::About) {
        TlRawPluginUi().ShowAbout(static_cast<const PsAboutRecord*>(record));
        *result = kPsNoError;
        return;
    }
    if (dispatch == Dispatch::Unknown || !record || !data) {
        *result = kPsFormatBadSelector;
        return;
    }
    auto* formatRecord = static_cast<PsFormatRecord*>(record);
    TlRawGlobals* globals = LockGlobals(formatRecord, data);
    if (!globals) {
        *result = kPsOutOfMemory;
        return;
    }
    globals->result = result;
    globals->record = formatRecord;
    *result = Run(dispatch, globals);
    TlRawUnlockHandle(formatRecord, reinterpret_cast<PsHandle>(*data));
}
