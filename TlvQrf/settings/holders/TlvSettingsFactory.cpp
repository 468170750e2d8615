#include "settings/holders/TlvSettingsFactory.h"

#include "settings/holders/TlvControlSettings.h"
#include "settings/holders/TlvCoreHooks.h"

CTlvSettingsHolder* CTlvSettingsFactory::CreateSettings()
{
    try {
        return new CTlvControlSettings();
    } catch (...) {
        // No exception leaves the settings model.
        return nullptr;
    }
}

CTlvParamSet* CTlvSettingsFactory::CreateParamSet(CTlvSettingsHolder* holder)
{
    return holder != nullptr ? MakeTlvParamSet(*holder, TlvParamSetKind::kControl) : nullptr;
}
