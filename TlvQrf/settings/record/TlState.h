// The interface every edit-settings record implements: a record turns itself
// into a flat, versioned byte block and back. The block layout is a stored
// file format (little-endian, no padding), so the header constants below are
// fixed.
#pragma once

#include <guiddef.h>

#include <cstdint>

// A record id: a GUID, stored in its standard binary layout (first group as
// little-endian u32, then two little-endian u16, then eight bytes as written),
// which is also its in-memory layout on our little-endian targets.
using TlGuid = GUID;
static_assert(sizeof(TlGuid) == 16, "a record id is 16 bytes");

// The common header of a stored record.
namespace TlStateLayout {
constexpr int kIdOffset = 0;
constexpr int kIdSize = 16;
constexpr int kVersionOffset = 16;
constexpr int kLengthOffset = 18;
// The length word counts itself and everything after it: total size - 18.
constexpr int kLengthBias = 18;
constexpr int kHeaderSize = 22;
}

class ITlState {
public:
    // Slot 0: the full size as Save would write it; Save(nullptr, 0).
    virtual int GetSize();
    // Slot 1: writes as much of the record as fits into `size` bytes and
    // returns the full size, whatever was written.
    virtual int Save(unsigned char* buffer, int size) = 0;
    // Slot 2: 0 when the block is not this record (record unchanged), else
    // the size the record accounts for.
    virtual int Load(const unsigned char* buffer, int size) = 0;
    // Slot 3: the record's id, the same 16 bytes as bytes 0-15 of its block.
    virtual const TlGuid* GetID() const = 0;

    // Copies `source` into this record through its stored form. A source of
    // another kind, or a failed allocation, leaves this record unchanged.
    ITlState& Assign(ITlState& source);

protected:
    ITlState() = default;
    ITlState(const ITlState&) = default;
    ITlState& operator=(const ITlState&) = default;
    // No virtual destructor in the interface: owners delete records through
    // their concrete type.
    ~ITlState() = default;
};
