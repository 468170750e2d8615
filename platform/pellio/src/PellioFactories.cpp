// The library's creators as free functions.
#include "PellioErrors.h"
#include "pellio/Pellio.h"

IKelvraError* CreateFileStream(IKelvraFileStream** stream)
{
    return IKelvraFileStream::CreateFileStream(stream);
}

IKelvraError* CreateLoad(IKelvraLoad** load)
{
    return IKelvraLoad::CreateLoad(load);
}

IKelvraError* CreateSave(IKelvraSave** save)
{
    return IKelvraSave::CreateSave(save);
}

IKelvraError* CreateTagControl(IKelvraTagControl** control, const IKelvraTagControl* source)
{
    if (!control)
        return PELLIO_ERROR(kPellioTagsTag, kKelvraMissingObject);
    IKelvraTagControl* created = nullptr;
    if (IKelvraError* error = IKelvraTagControl::CreateTagControl(&created))
        return KELVRA_WRAP(nullptr, kPellioTagsTag, error);
    if (source) {
        if (IKelvraError* error = created->CopyFrom(source)) {
            created->Destroy();
            return KELVRA_WRAP(nullptr, kPellioTagsTag, error);
        }
    }
    *control = created;
    return nullptr;
}
