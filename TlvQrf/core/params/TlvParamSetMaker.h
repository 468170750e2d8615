// The core's maker of parameter sets, which the settings holders reach
// through their core hooks.
#pragma once

#include "settings/holders/TlvCoreHooks.h"

class CTlvParamSetMaker : public ITlvParamSetMaker {
public:
    // Null when memory runs out; other exceptions of the constructor pass on.
    CTlvParamSet* MakeParamSet(CTlvSettingsHolder& holder, TlvParamSetKind kind) override;
};

// Registers the process-wide maker, keeping the other hooks.
void InstallParamSetMaker();
