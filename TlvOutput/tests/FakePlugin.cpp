// A small output plug-in for the output module's tests, built several times
// with its answers chosen at build time:
//   FAKE_TAG            its name in the event log
//   FAKE_FUNCTION_ID    the id of its one function (and FAKE_SECOND_ID of a
//                       second one, when not 0)
//   FAKE_FLAGS, FAKE_BITMAP   the function entry's flags and bitmap handle
//   FAKE_INIT_RESULT    what TlvInitialize answers
//   FAKE_ANSWER         what every message after the information query answers
// Each call it gets is appended to the environment variable TL_FAKE_LOG of
// the process as "<tag> <event> <value>;", so a test sees what reached it.
#include "module/TlvModuleInterface.h"
#include "runbase/TlvMessageCodes.h"

#include <cstdio>
#include <string>

namespace {

void Log(const char* event, unsigned long value)
{
    char line[96];
    std::snprintf(line, sizeof line, "%s %s 0x%lX;", FAKE_TAG, event, value);
    char old[8192] = {};
    const DWORD length = GetEnvironmentVariableA("TL_FAKE_LOG", old, sizeof old);
    const std::string log = (length < sizeof old ? std::string(old, length) : std::string()) + line;
    SetEnvironmentVariableA("TL_FAKE_LOG", log.c_str());
}

TlvFunctionEntry Entry(int id)
{
    TlvFunctionEntry entry;
    entry.functionId = id;
    entry.name = std::string(FAKE_TAG) + " function";
    entry.flags = FAKE_FLAGS;
    entry.bitmap = reinterpret_cast<HBITMAP>(UINT_PTR(FAKE_BITMAP));
    return entry;
}

} // namespace

extern "C" {

void __cdecl TlvClose()
{
    Log("close", 0);
}

unsigned long __cdecl TlvGetInformation(int* moduleType, int* interfaceKind)
{
    *moduleType = 38;
    *interfaceKind = 0x10000000;
    return 0;
}

unsigned long __cdecl TlvInitialize(TlvHostCallback, ITlvHost*)
{
    Log("init", FAKE_INIT_RESULT);
    return FAKE_INIT_RESULT;
}

unsigned long __cdecl TlvMessage(TlvWord code, TlvWord value1, TlvWord, TlvWord record, TlvWord, TlvWord, TlvWord,
                                 TlvWord, TlvWord)
{
    if (code == TLV_MSG_QUERY_INFO) {
        auto* info = reinterpret_cast<TlvModuleInfo*>(record);
        info->functions.push_back(Entry(FAKE_FUNCTION_ID));
        if (FAKE_SECOND_ID != 0)
            info->functions.push_back(Entry(FAKE_SECOND_ID));
        return 0;
    }
    if (code == TLV_MSG_FUNCTION_ID)
        Log("newid", static_cast<unsigned long>(*reinterpret_cast<const int*>(record)));
    else
        Log("message", static_cast<unsigned long>(code));
    if (code == TLV_MSG_RUN_FUNCTION || code == TLV_MSG_QUERY_FUNCTION)
        Log("function", static_cast<unsigned long>(value1));
    return FAKE_ANSWER;
}

} // extern "C"
