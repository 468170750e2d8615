// Four-character ids of this library's filters, written as they read:
// TlFilterId("LCH ") is 'L' in the most significant byte down to ' '.
#pragma once

#include "kelvra/KelvraError.h"

constexpr KelvraTag TlFilterId(const char (&id)[5])
{
    return KelvraFourCC(id[0], id[1], id[2], id[3]);
}

static_assert(TlFilterId("ABrt") == 0x41427274, "first character in the most significant byte");
