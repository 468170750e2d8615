#include "load/TlImageJobOwner.h"

#include "params/TlvParamSet.h"
#include "settings/holders/TlvControlSettings.h"

#include <new>

CTlvImageAttributes* CTlImageJobOwner::NewAttributes()
{
    try {
        return new CTlvImageAttributes();
    } catch (const std::exception&) {
        return nullptr;
    }
}

void CTlImageJobOwner::DestroyAttributes(CTlvImageAttributes* attributes)
{
    delete attributes;
}

CTlvParamSet* CTlImageJobOwner::NewSaveTarget(CTlvImageAttributes& attributes)
{
    return attributes.CreateParamSet();
}

void CTlImageJobOwner::DestroySaveTarget(CTlvParamSet* target)
{
    delete target;
}
