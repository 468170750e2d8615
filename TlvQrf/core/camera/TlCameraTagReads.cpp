#include "camera/TlCameraTagReads.h"

#include "kelvra/KelvraTagControl.h"

#include <cstring>
#include <vector>

bool TlReadTagBytes(const IKelvraTagControl* tags, std::uint32_t id, void* out, std::size_t size)
{
    std::memset(out, 0, size);
    if (!tags || !tags->HasTag(id, 0) || tags->GetTagType(id) == kKelvraTagTypeDataHeader)
        return false;
    const std::uint32_t length = tags->GetTagSize(id, 0);
    if (length == 0)
        return false;
    std::vector<std::uint8_t> value(length);
    IKelvraError* error = tags->GetTag(id, kKelvraTagTypeBytes, length, value.data(), 0);
    if (error) {
        IKelvraError::Release(error);
        return false;
    }
    std::memcpy(out, value.data(), size < length ? size : length);
    return true;
}

bool TlReadTagLong(const IKelvraTagControl* tags, std::uint32_t id, std::int32_t* value)
{
    return TlReadTagBytes(tags, id, value, sizeof *value);
}

bool TlReadTagDouble(const IKelvraTagControl* tags, std::uint32_t id, double* value)
{
    return TlReadTagBytes(tags, id, value, sizeof *value);
}
