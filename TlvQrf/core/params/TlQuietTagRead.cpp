#include "params/TlQuietTagRead.h"

#include "kelvra/KelvraTagControl.h"

bool ReadTagQuietly(const IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, std::uint32_t size,
                    void* destination)
{
    if (tags == nullptr)
        return false;
    return ReleaseQuietly(tags->GetTag(id, type, size, destination, 0));
}

bool ReleaseQuietly(IKelvraError* error)
{
    if (error == nullptr)
        return true;
    IKelvraError::Release(error);
    return false;
}
