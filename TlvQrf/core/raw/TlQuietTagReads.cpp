#include "raw/TlQuietTagReads.h"

#include "kelvra/KelvraTagControl.h"

namespace {

template <typename T>
bool TryRead(const IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, T* value)
{
    T read = *value;
    if (!ReadTagQuietly(tags, id, type, sizeof read, &read))
        return false;
    *value = read;
    return true;
}

} // namespace

bool ReadTagQuietly(const IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, std::uint32_t size,
                    void* destination)
{
    if (tags == nullptr || destination == nullptr)
        return false;
    return Succeeded(tags->GetTag(id, type, size, destination, 0));
}

bool Succeeded(IKelvraError* error)
{
    if (error == nullptr)
        return true;
    IKelvraError::Release(error);
    return false;
}

bool TryReadLongTag(const IKelvraTagControl* tags, std::uint32_t id, std::int32_t* value)
{
    return TryRead(tags, id, kKelvraTagTypeLong, value);
}

bool TryReadLongTag(const IKelvraTagControl* tags, std::uint32_t id, std::uint32_t* value)
{
    return TryRead(tags, id, kKelvraTagTypeLong, value);
}

bool TryReadDoubleTag(const IKelvraTagControl* tags, std::uint32_t id, double* value)
{
    return TryRead(tags, id, kKelvraTagTypeDoubles, value);
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
