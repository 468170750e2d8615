#include "camera/TlCameraTagReads.h"

#include "kelvra/KelvraTagControl.h"
#include "raw/TlTagBytes.h"

#include <cstring>
#include <vector>

bool TlReadTagBytes(const IKelvraTagControl* tags, std::uint32_t id, void* out, std::size_t size)
{
    std::memset(out, 0, size);
    if (!tags || !tags->HasTag(id, 0) || tags->GetTagType(id) == kKelvraTagTypeDataHeader)
        return false;
    const std::vector<unsigned char> value = ReadWholeTag(*tags, id);
    if (value.empty())
        return false;
    std::memcpy(out, value.data(), size < value.size() ? size : value.size());
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
