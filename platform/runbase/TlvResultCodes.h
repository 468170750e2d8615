// Result codes of the module interface: what every module export, message
// handler and host callback answers. Below 0x1000 is success.
#pragma once

enum : unsigned long {
    TLV_OK = 0,
    TLV_OK_HANDLED = 1,                 // handled, nothing more to do
    TLV_ERR_UNSUPPORTED_FORMAT = 0x1001, // unsupported input, already reported to the user
    TLV_ERR_CANCELLED = 0x1002,
    TLV_ERR_OUT_OF_MEMORY = 0x1003,
    TLV_ERR_NO_FRAME = 0x1004,          // no window or thread
    TLV_ERR_FAILED = 0x1008,            // not handled, or failed
    TLV_ERR_NOT_FOUND = 0x1101,         // something not found or not registered
    TLV_ERR_UNSUPPORTED_SOURCE = 0x1103,
};

// Every test for failure compares with 0x1000.
constexpr bool TlvFailed(unsigned long result)
{
    return result >= 0x1000;
}
