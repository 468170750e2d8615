// Hands out the serialiser back end a descriptor asks for.
#pragma once

#include "serialize/TlSerialize.h"

#include <istream>
#include <memory>
#include <ostream>

// Mode bits of a descriptor. Callers set kTlSerializeRead to ask for a
// reader; modes 4 and 5 select the registry reader, 4 and 6 the registry
// writer; anything else the text back end on the descriptor's stream.
const int kTlSerializeRead = 1;
const int kTlSerializeWrite = 2;
const int kTlSerializeRegistry = 4;

struct TlSerializeDescriptor {
    int mode = 0;
    std::istream* input = nullptr;
    std::ostream* output = nullptr;
};

class CTlSerializeMgr {
public:
    // The process's manager, made at first use; null once it has been
    // destroyed at process end.
    static CTlSerializeMgr* GetInstance();

    // A registry reader for mode 4 or 5; otherwise a text reader on the input
    // stream when there is one; otherwise (or when out of memory, or after
    // the manager's destruction) null.
    std::unique_ptr<ITlReader> CreateReader(const TlSerializeDescriptor& descriptor) const;
    // A registry writer for mode 4 or 6; otherwise a text writer on the output
    // stream when there is one; otherwise null.
    std::unique_ptr<ITlWriter> CreateWriter(const TlSerializeDescriptor& descriptor) const;

    CTlSerializeMgr(const CTlSerializeMgr&) = delete;
    CTlSerializeMgr& operator=(const CTlSerializeMgr&) = delete;

private:
    CTlSerializeMgr() = default;
    ~CTlSerializeMgr();
};
