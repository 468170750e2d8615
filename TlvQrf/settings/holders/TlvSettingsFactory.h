// Makes settings holders and parameter sets for the core's save-side
// objects, which know neither class.
#pragma once

class CTlvParamSet;
class CTlvSettingsHolder;

class ITlvSettingsFactory {
public:
    virtual ~ITlvSettingsFactory() = default;
    // A new holder, owned by the caller; null when it cannot be made.
    virtual CTlvSettingsHolder* CreateSettings() = 0;
    // A new parameter set for `holder`, owned by the caller; null when it
    // cannot be made.
    virtual CTlvParamSet* CreateParamSet(CTlvSettingsHolder* holder) = 0;
};

class CTlvSettingsFactory : public ITlvSettingsFactory {
public:
    // A CTlvControlSettings.
    CTlvSettingsHolder* CreateSettings() override;
    // A CTlvControlParamSet; null for no holder.
    CTlvParamSet* CreateParamSet(CTlvSettingsHolder* holder) override;
};
