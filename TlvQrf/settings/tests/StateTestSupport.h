// Helpers shared by the record tests: hex fixtures, whole saves, and a box
// that lets tables hold records of different kinds.
#pragma once

#include "settings/record/TlState.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tlstate_test {

using Bytes = std::vector<unsigned char>;

inline Bytes Hex(const char* text)
{
    Bytes bytes;
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i + 1 < length; i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoul(std::string(text + i, 2), nullptr, 16)));
    return bytes;
}

inline Bytes SaveWhole(ITlState& record)
{
    Bytes bytes(static_cast<std::size_t>(record.GetSize()));
    record.Save(bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

// For temporaries: the size query and Save are not const operations.
inline Bytes SaveWhole(ITlState&& record)
{
    return SaveWhole(record);
}

inline int LoadBytes(ITlState& record, const Bytes& bytes)
{
    return record.Load(bytes.data(), static_cast<int>(bytes.size()));
}

inline void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

inline void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

class AnyRecord {
public:
    virtual ~AnyRecord() = default;
    virtual ITlState& State() = 0;
};

template <typename T>
class Boxed : public AnyRecord {
public:
    ITlState& State() override { return record; }
    T record;
};

} // namespace tlstate_test
