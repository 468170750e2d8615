#include "params/TlTagValue.h"

#include "kelvra/KelvraTagControl.h"

bool ReadTagValue(const IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, void* value,
                  std::uint32_t size)
{
    if (!tags || !value)
        return false;
    // The control writes nothing on a failed read, so the caller's default stays.
    IKelvraError* error = tags->GetTag(id, type, size, value, 0);
    if (!error)
        return true;
    IKelvraError::Release(error);
    return false;
}
