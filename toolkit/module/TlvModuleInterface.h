// The module interface as a module builds it: the nine-word message handler,
// the task's start and end, and the information record a module fills for
// its host.
#pragma once

#include "host/api/TlvHostApi.h"

#include <string>
#include <vector>

// The interface kind of modules and plug-ins on this interface.
constexpr int kTlvInterfaceKind = 0x10000000;

class ITlvMessage {
public:
    virtual unsigned long Message(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                                  TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag) = 0;

protected:
    ~ITlvMessage() = default;
};

class ITlvInitialize {
public:
    // `entry` reaches the host callback through its Message.
    virtual unsigned long Initialize(ITlvMessage* entry, ITlvHost* host) = 0;
    virtual void Uninitialize() = 0;

protected:
    ~ITlvInitialize() = default;
};

// One function a module offers (44 bytes in the original build; only
// modules built here with one compiler exchange it, so its size is free).
struct TlvFunctionEntry {
    int functionId = 0;
    int reserved = 0;
    std::string name;
    int flags = 0;
    HBITMAP bitmap = nullptr;
};

// The information record (record type 136 with TLV_MSG_QUERY_INFO). The
// host owns it; a module appends its entries to `functions` from its own
// code, which works because every module allocates from the one C run-time
// heap.
struct TlvModuleInfo {
    int moduleId = 0;
    int flags = 0;
    int interfaceKind = 0;
    std::string name;
    std::vector<TlvFunctionEntry> functions;
};
