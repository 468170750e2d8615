// What a module sees of its host: the callback every request to the host
// goes through, and the host object that hands out service objects by
// number. Header-only, so modules link no host code.
#pragma once

#include <windows.h>

// One word of a message: 32 bits on the 32-bit target, wide enough for a
// pointer on the 64-bit one.
using TlvWord = UINT_PTR;
// An item identifier: low half in word 1, high half in word 2.
using TlvItemId = unsigned long long;

// The host callback: cdecl, the nine words of a message, a result code.
extern "C" {
typedef unsigned long(__cdecl* TlvHostCallback)(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record,
                                                TlvWord count, TlvWord recordType, TlvWord subValue,
                                                TlvWord request, TlvWord replyTag);
}

// Service numbers for ITlvHost::GetObject.
enum : int {
    TLV_SERVICE_IMAGING = 1,
    TLV_SERVICE_VIEW = 2,
    TLV_SERVICE_ITEMS = 16,
    TLV_SERVICE_SELECTION = 17,
    TLV_SERVICE_MESSAGE_BOX = 128,
};

class ITlvHost {
public:
    // The service object numbered `id` in `*object`, which the caller
    // releases through the service's own Release; 0, or a failure code with
    // `*object` null.
    virtual unsigned long GetObject(int id, void** object) = 0;

protected:
    ~ITlvHost() = default;
};

// The split of an item id into words 1 and 2, and back.
inline TlvWord TlvItemLow(TlvItemId id)
{
    return TlvWord(id & 0xFFFFFFFFu);
}
inline TlvWord TlvItemHigh(TlvItemId id)
{
    return TlvWord(id >> 32);
}
inline TlvItemId TlvItemFromWords(TlvWord low, TlvWord high)
{
    return (TlvItemId(high & 0xFFFFFFFFu) << 32) | TlvItemId(low & 0xFFFFFFFFu);
}
