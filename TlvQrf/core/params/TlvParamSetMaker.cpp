#include "params/TlvParamSetMaker.h"

#include "params/TlvParamSet.h"

#include <new>

CTlvParamSet* CTlvParamSetMaker::MakeParamSet(CTlvSettingsHolder& holder, TlvParamSetKind kind)
{
    if (kind == TlvParamSetKind::kControl)
        return new (std::nothrow) CTlvControlParamSet(holder);
    return new (std::nothrow) CTlvParamSet(holder);
}

void InstallParamSetMaker()
{
    static CTlvParamSetMaker maker;
    TlvCoreHooks hooks = GetTlvCoreHooks();
    hooks.paramSets = &maker;
    SetTlvCoreHooks(hooks);
}
