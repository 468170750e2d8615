#include "params/TlParamTagReads.h"

#include "kelvra/KelvraTagControl.h"

namespace {

template <typename T>
bool TryRead(const IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, T* value)
{
    if (tags == nullptr)
        return false;
    T read = *value;
    IKelvraError* error = tags->GetTag(id, type, sizeof read, &read, 0);
    if (error != nullptr) {
        IKelvraError::Release(error);
        return false;
    }
    *value = read;
    return true;
}

} // namespace

bool TryReadLongTag(const IKelvraTagControl* tags, std::uint32_t id, std::int32_t* value)
{
    return TryRead(tags, id, kKelvraTagTypeLong, value);
}

std::int32_t ReadLongTagOr(const IKelvraTagControl* tags, std::uint32_t id, std::int32_t fallback)
{
    TryRead(tags, id, kKelvraTagTypeLong, &fallback);
    return fallback;
}

double ReadDoubleTagOr(const IKelvraTagControl* tags, std::uint32_t id, double fallback)
{
    TryRead(tags, id, kKelvraTagTypeDoubles, &fallback);
    return fallback;
}
