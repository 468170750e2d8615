#include "savetags/TlSaveTagWrite.h"

#include "kelvra/KelvraTagControl.h"

IKelvraError* WriteSaveTag(IKelvraTagControl& tags, std::uint32_t id, std::uint32_t type, std::uint32_t length,
                           const void* value)
{
    const bool added = !tags.HasTag(id, 0);
    if (added) {
        if (IKelvraError* error = tags.AddTag(id))
            return error;
    }
    IKelvraError* error = tags.SetTag(id, type, length, value);
    if (error != nullptr && added)
        IKelvraError::Release(tags.RemoveTag(id));
    return error;
}
